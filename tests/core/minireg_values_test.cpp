// Values: what each routine stores, byte for byte, and what it reads back.
#include "Minireg.h"
#include "RegistryStore.h"
#include "TestEnvironment.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace std::string_literals;

namespace {

const std::string kValuesKey = "Software\\Varindel TLX Company\\Test";

// The type and bytes a value has in the per-user store, read past the routines.
StoredValue StoredInUserStore(const IsolatedRegistry& registry, const std::string& valueName) {
    StoredValue found;
    const bool read = RegistryStore::read({registry.userStore(), true}, [&](RegistryStore& store) {
        const auto key = store.findKey({"Software", "Varindel TLX Company", "Test"});
        const auto value = key ? store.value(*key, valueName) : std::nullopt;
        if (value)
            found = *value;
        return value.has_value();
    });
    EXPECT_TRUE(read) << valueName;
    return found;
}

class MiniregValues : public ::testing::Test {
protected:
    IsolatedRegistry registry;
};

TEST_F(MiniregValues, EachWriterStoresItsTypeAndExactBytes) {
    ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, kValuesKey + "\\Text", "Ольмарск"));
    ASSERT_TRUE(RegSetExpandString(HKEY_CURRENT_USER, kValuesKey + "\\Expand", "%HOME%/x"));
    ASSERT_TRUE(RegSetMultiString(HKEY_CURRENT_USER, kValuesKey + "\\Multi", "a\0b"s));
    ASSERT_TRUE(RegSetDWORD(HKEY_CURRENT_USER, kValuesKey + "\\Number", 0x12345678u));
    ASSERT_TRUE(RegSetBinary(HKEY_CURRENT_USER, kValuesKey + "\\Bytes", "\x00\xFF\x10"s));

    const StoredValue text = StoredInUserStore(registry, "Text");
    EXPECT_EQ(text.type, REG_SZ);
    EXPECT_EQ(text.bytes, "Ольмарск\0"s);
    const StoredValue expand = StoredInUserStore(registry, "Expand");
    EXPECT_EQ(expand.type, REG_EXPAND_SZ);
    EXPECT_EQ(expand.bytes, "%HOME%/x\0"s);
    const StoredValue multi = StoredInUserStore(registry, "Multi");
    EXPECT_EQ(multi.type, REG_MULTI_SZ);
    EXPECT_EQ(multi.bytes, "a\0b\0\0"s);
    const StoredValue number = StoredInUserStore(registry, "Number");
    EXPECT_EQ(number.type, REG_DWORD);
    EXPECT_EQ(number.bytes, "\x78\x56\x34\x12"s);
    const StoredValue bytes = StoredInUserStore(registry, "Bytes");
    EXPECT_EQ(bytes.type, REG_BINARY);
    EXPECT_EQ(bytes.bytes, "\x00\xFF\x10"s);
}

TEST_F(MiniregValues, ReadersReturnWhatWasWritten) {
    ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, kValuesKey + "\\Text", "до\0после"s));
    ASSERT_TRUE(RegSetExpandString(HKEY_CURRENT_USER, kValuesKey + "\\Expand", "%HOME%/x"));
    ASSERT_TRUE(RegSetMultiString(HKEY_CURRENT_USER, kValuesKey + "\\Multi", "a\0b"s));
    ASSERT_TRUE(RegSetDWORD(HKEY_CURRENT_USER, kValuesKey + "\\Number", 0xFEDCBA98u));
    ASSERT_TRUE(RegSetBinary(HKEY_CURRENT_USER, kValuesKey + "\\Bytes", "\x00\x01\x00"s));
    ASSERT_TRUE(RegSetBinary(HKEY_CURRENT_USER, kValuesKey + "\\Nothing", ""));

    std::string text;
    EXPECT_TRUE(RegGetString(HKEY_CURRENT_USER, kValuesKey + "\\Text", text));
    EXPECT_EQ(text, "до\0после"s);
    EXPECT_TRUE(RegGetExpandString(HKEY_CURRENT_USER, kValuesKey + "\\Expand", text));
    EXPECT_EQ(text, "%HOME%/x"); // references stay unexpanded
    EXPECT_TRUE(RegGetMultiString(HKEY_CURRENT_USER, kValuesKey + "\\Multi", text));
    EXPECT_EQ(text, "a\0b\0"s); // one zero byte more than was written
    std::uint32_t number = 0;
    EXPECT_TRUE(RegGetDWORD(HKEY_CURRENT_USER, kValuesKey + "\\Number", number));
    EXPECT_EQ(number, 0xFEDCBA98u);
    std::string bytes;
    EXPECT_TRUE(RegGetBinary(HKEY_CURRENT_USER, kValuesKey + "\\Bytes", bytes));
    EXPECT_EQ(bytes, "\x00\x01\x00"s);
    bytes = "old";
    EXPECT_TRUE(RegGetBinary(HKEY_CURRENT_USER, kValuesKey + "\\Nothing", bytes));
    EXPECT_EQ(bytes, "");
}

TEST_F(MiniregValues, ReadersAcceptOnlyTheirExactTypeAndClearTheirResult) {
    ASSERT_TRUE(RegSetExpandString(HKEY_CURRENT_USER, kValuesKey + "\\Expand", "text"));
    ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, kValuesKey + "\\Text", "1234"));
    ASSERT_TRUE(RegSetBinary(HKEY_CURRENT_USER, kValuesKey + "\\Bytes", "\x01\x02\x03\x04"s));

    std::string text = "stale";
    EXPECT_FALSE(RegGetString(HKEY_CURRENT_USER, kValuesKey + "\\Expand", text));
    EXPECT_EQ(text, "");
    text = "stale";
    EXPECT_FALSE(RegGetExpandString(HKEY_CURRENT_USER, kValuesKey + "\\Text", text));
    EXPECT_EQ(text, "");
    text = "stale";
    EXPECT_FALSE(RegGetMultiString(HKEY_CURRENT_USER, kValuesKey + "\\Text", text));
    EXPECT_EQ(text, "");
    text = "stale";
    EXPECT_FALSE(RegGetBinary(HKEY_CURRENT_USER, kValuesKey + "\\Text", text));
    EXPECT_EQ(text, "");
    std::uint32_t number = 7;
    EXPECT_FALSE(RegGetDWORD(HKEY_CURRENT_USER, kValuesKey + "\\Bytes", number));
    EXPECT_EQ(number, 0u);
    number = 7;
    EXPECT_FALSE(RegGetDWORD(HKEY_CURRENT_USER, kValuesKey + "\\Missing", number));
    EXPECT_EQ(number, 0u);
    text = "stale";
    EXPECT_FALSE(RegGetString(HKEY_CURRENT_USER, kValuesKey + "\\Missing", text));
    EXPECT_EQ(text, "");
}

TEST_F(MiniregValues, AnyStringReportsTheTypeFoundEvenWhenItIsNoText) {
    ASSERT_TRUE(RegSetAnyString(HKEY_CURRENT_USER, kValuesKey + "\\Multi", "x\0y"s, REG_MULTI_SZ));
    ASSERT_TRUE(RegSetDWORD(HKEY_CURRENT_USER, kValuesKey + "\\Number", 5));

    std::string text;
    std::uint32_t type = 0;
    EXPECT_TRUE(RegGetAnyString(HKEY_CURRENT_USER, kValuesKey + "\\Multi", text, type));
    EXPECT_EQ(type, REG_MULTI_SZ);
    EXPECT_EQ(text, "x\0y\0"s);
    EXPECT_FALSE(RegGetAnyString(HKEY_CURRENT_USER, kValuesKey + "\\Number", text, type));
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(text, "");
    EXPECT_FALSE(RegGetAnyString(HKEY_CURRENT_USER, kValuesKey + "\\Missing", text, type));
    EXPECT_EQ(type, REG_NONE);

    EXPECT_TRUE(RegGetValueType(HKEY_CURRENT_USER, kValuesKey + "\\Number", type));
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_FALSE(RegGetValueType(HKEY_CURRENT_USER, kValuesKey + "\\Missing", type));
    EXPECT_EQ(type, REG_NONE);
}

TEST_F(MiniregValues, AnyStringRefusesTypesThatAreNoText) {
    EXPECT_FALSE(RegSetAnyString(HKEY_CURRENT_USER, kValuesKey + "\\Value", "1", REG_DWORD));
    EXPECT_FALSE(RegSetAnyString(HKEY_CURRENT_USER, kValuesKey + "\\Value", "1", REG_BINARY));
    EXPECT_FALSE(RegValueExists(HKEY_CURRENT_USER, kValuesKey + "\\Value"));
    EXPECT_FALSE(std::filesystem::exists(registry.userStore()));

    EXPECT_TRUE(RegSetAnyString(HKEY_CURRENT_USER, kValuesKey + "\\Value", "1", REG_EXPAND_SZ));
    std::string text;
    EXPECT_TRUE(RegGetExpandString(HKEY_CURRENT_USER, kValuesKey + "\\Value", text));
    EXPECT_EQ(text, "1");
}

TEST_F(MiniregValues, PathWithoutBackslashNamesNoValueAndTouchesNothing) {
    std::string text = "stale";
    std::uint32_t number = 3;
    std::uint32_t type = 3;
    EXPECT_FALSE(RegSetString(HKEY_CURRENT_USER, "Value", "x"));
    EXPECT_FALSE(RegSetExpandString(HKEY_CURRENT_USER, "Value", "x"));
    EXPECT_FALSE(RegSetMultiString(HKEY_CURRENT_USER, "Value", "x"));
    EXPECT_FALSE(RegSetAnyString(HKEY_CURRENT_USER, "Value", "x", REG_SZ));
    EXPECT_FALSE(RegSetDWORD(HKEY_CURRENT_USER, "Value", 1));
    EXPECT_FALSE(RegSetBinary(HKEY_CURRENT_USER, "Value", "x"));
    EXPECT_FALSE(RegDelValue(HKEY_CURRENT_USER, "Value"));
    EXPECT_FALSE(RegDelKey(HKEY_CURRENT_USER, "Value"));
    EXPECT_FALSE(RegValueExists(HKEY_CURRENT_USER, "Value"));
    EXPECT_FALSE(RegGetString(HKEY_CURRENT_USER, "Value", text));
    EXPECT_FALSE(RegGetDWORD(HKEY_CURRENT_USER, "Value", number));
    EXPECT_FALSE(RegGetValueType(HKEY_CURRENT_USER, "Value", type));
    EXPECT_EQ(text, "");
    EXPECT_EQ(number, 0u);
    EXPECT_EQ(type, 0u);
    EXPECT_FALSE(std::filesystem::exists(registry.userStore()));
}

TEST_F(MiniregValues, PathEndingInBackslashAddressesTheDefaultValue) {
    ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, kValuesKey + "\\", "default"));
    std::string text;
    EXPECT_TRUE(RegGetString(HKEY_CURRENT_USER, kValuesKey + "\\", text));
    EXPECT_EQ(text, "default");
    EXPECT_EQ(StoredInUserStore(registry, "").bytes, "default\0"s);
    EXPECT_FALSE(RegValueExists(HKEY_CURRENT_USER, kValuesKey));
    std::string names;
    EXPECT_TRUE(RegEnumValues(HKEY_CURRENT_USER, kValuesKey, names));
    EXPECT_EQ(names, "");
    EXPECT_TRUE(RegDelValue(HKEY_CURRENT_USER, kValuesKey + "\\"));
    EXPECT_FALSE(RegValueExists(HKEY_CURRENT_USER, kValuesKey + "\\"));
}

TEST_F(MiniregValues, PathStartingWithItsOnlyBackslashAddressesAValueUnderTheRoot) {
    ASSERT_TRUE(RegSetDWORD(HKEY_CURRENT_USER, "\\TopValue", 9));
    std::uint32_t number = 0;
    EXPECT_TRUE(RegGetDWORD(HKEY_CURRENT_USER, "\\TopValue", number));
    EXPECT_EQ(number, 9u);
    std::string names;
    EXPECT_TRUE(RegEnumValues(HKEY_CURRENT_USER, "", names));
    EXPECT_EQ(names, "TopValue");
}

TEST_F(MiniregValues, RewritingAValueReplacesTypeAndBytes) {
    ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, kValuesKey + "\\Value", "long text"));
    ASSERT_TRUE(RegSetDWORD(HKEY_CURRENT_USER, kValuesKey + "\\Value", 1));
    std::string text;
    EXPECT_FALSE(RegGetString(HKEY_CURRENT_USER, kValuesKey + "\\Value", text));
    std::uint32_t number = 0;
    EXPECT_TRUE(RegGetDWORD(HKEY_CURRENT_USER, kValuesKey + "\\Value", number));
    EXPECT_EQ(number, 1u);
}

TEST_F(MiniregValues, ValueOperationsOnKeysWithEmptyNamesFail) {
    EXPECT_FALSE(RegSetString(HKEY_CURRENT_USER, "Software\\\\Inner\\Value", "x"));
    EXPECT_FALSE(RegSetString(HKEY_CURRENT_USER, "\\Software\\Value", "x"));
    EXPECT_FALSE(std::filesystem::exists(registry.userStore()));
}

TEST_F(MiniregValues, DeletingAValueLeavesItsKeyAndSiblings) {
    ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, kValuesKey + "\\One", "1"));
    ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, kValuesKey + "\\Two", "2"));
    EXPECT_TRUE(RegDelValue(HKEY_CURRENT_USER, kValuesKey + "\\One"));
    EXPECT_FALSE(RegDelValue(HKEY_CURRENT_USER, kValuesKey + "\\One"));
    EXPECT_FALSE(RegValueExists(HKEY_CURRENT_USER, kValuesKey + "\\One"));
    EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, kValuesKey + "\\Two"));
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, kValuesKey));
}

} // namespace
