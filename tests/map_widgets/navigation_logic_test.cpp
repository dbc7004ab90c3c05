// Zoom steps within the limits, the every-second-wheel-event rule, zooming
// about the cursor, the status line texts and the label lookup, without windows.
#include "MapEngine.h"
#include "MapNavigation.h"
#include "Uidlist.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

const TScaleLimits kLimits{.MinScale = 1000, .MaxScale = 20000, .StepScale = 500};
const QLocale kRussian(QLocale::Russian, QLocale::Russia);
const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);

} // namespace

TEST(ZoomSteps, StayWithinTheLimitsAndLandExactlyOnThem)
{
    EXPECT_EQ(ZoomOutScale(5000, kLimits), 4500);
    EXPECT_EQ(ZoomOutScale(1600, kLimits), 1100);
    EXPECT_EQ(ZoomOutScale(1500, kLimits), 1000) << "a step landing on the limit";
    EXPECT_EQ(ZoomOutScale(1200.5, kLimits), 1000) << "within one step of the limit";
    EXPECT_EQ(ZoomOutScale(1000, kLimits), 1000) << "at the limit";
    EXPECT_EQ(ZoomOutScale(700, kLimits), 1000) << "below the limit the limit is restored";

    EXPECT_EQ(ZoomInScale(5000, kLimits), 5500);
    EXPECT_EQ(ZoomInScale(19400, kLimits), 19900);
    EXPECT_EQ(ZoomInScale(19500, kLimits), 20000);
    EXPECT_EQ(ZoomInScale(19999.5, kLimits), 20000);
    EXPECT_EQ(ZoomInScale(20000, kLimits), 20000);
}

TEST(ZoomSteps, MissingScaleParametersAreFittedToTheMap)
{
    TScaleParameters none;
    const QRectF city(0, 0, 10000, 6000);
    EXPECT_EQ(FillMissingScales(none, city), (std::vector<int>{9, 10, 11, 12}));
    EXPECT_EQ(none.MapScale, 216) << "a 10 km city across 1000 pixels";
    EXPECT_EQ(none.MinScale, 108);
    EXPECT_EQ(none.MaxScale, 20000);
    EXPECT_EQ(none.StepScale, (20000 - 108) / 40);
    const TScaleLimits limits{none.MinScale, none.MaxScale, none.StepScale};
    EXPECT_EQ(ZoomInScale(none.MapScale, limits), 216 + 497) << "a step in, not a collapse to 0";
    EXPECT_EQ(ZoomOutScale(none.MapScale, limits), 108);

    TScaleParameters half{.MapScale = 5000, .MinScale = 0, .MaxScale = -3, .StepScale = 500};
    EXPECT_EQ(FillMissingScales(half, QRectF(0, 0, 2000, 4000)), (std::vector<int>{10, 11}));
    EXPECT_EQ(half.MapScale, 5000) << "what the edition gives stays";
    EXPECT_EQ(half.MinScale, 270);
    EXPECT_EQ(half.MaxScale, 20000);
    EXPECT_EQ(half.StepScale, 500);

    TScaleParameters whole{1, 2, 3, 4};
    EXPECT_TRUE(FillMissingScales(whole, {}).empty());
    TScaleParameters withoutMap;
    FillMissingScales(withoutMap, {});
    EXPECT_EQ(withoutMap.MapScale, 216) << "an empty map counts as a 10 km city";
}

TEST(Wheel, OnlyEverySecondEventActsCountingBothDirections)
{
    std::int32_t count = 0;
    constexpr int kEvents = 6;
    std::vector<bool> acted;
    acted.reserve(kEvents);
    for (int i = 0; i < kEvents; ++i)
        acted.push_back(WheelEventActs(count));
    EXPECT_EQ(acted, std::vector<bool>({false, true, false, true, false, true}));
    EXPECT_EQ(count, 6);

    std::int32_t highest = INT32_MAX;
    EXPECT_TRUE(WheelEventActs(highest));
    EXPECT_EQ(highest, INT32_MIN) << "the counter wraps";
    EXPECT_FALSE(WheelEventActs(highest)) << "and keeps alternating";
}

TEST(Wheel, ZoomsAboutTheCursorAwayFromTheLimitsAndJumpsToThemNearThem)
{
    const TWheelZoom out = WheelDownZoom(5000, kLimits);
    EXPECT_FALSE(out.toLimit);
    EXPECT_EQ(out.delta, -500);
    const TWheelZoom outAtLimit = WheelDownZoom(1500, kLimits);
    EXPECT_TRUE(outAtLimit.toLimit);
    EXPECT_EQ(outAtLimit.scale, 1000);

    const TWheelZoom in = WheelUpZoom(5000, kLimits);
    EXPECT_FALSE(in.toLimit);
    EXPECT_EQ(in.delta, 500);
    const TWheelZoom inAtLimit = WheelUpZoom(19500, kLimits);
    EXPECT_TRUE(inAtLimit.toLimit);
    EXPECT_EQ(inAtLimit.scale, 20000);
}

TEST(ChangeScaleMap, KeepsTheMapPointUnderTheCursor)
{
    MapEngine map;
    map.setViewSize(QSize(800, 600));
    map.ViewXY(2000, 3000, 4000);
    int invalidations = 0;
    map.OnInvalidate = [&] { ++invalidations; };
    for (const QPointF cursor : {QPointF(650, 120), QPointF(10, 590), QPointF(400, 300)}) {
        map.mouseMove(cursor, Qt::NoButton);
        const double x = map.GetMouseX();
        const double y = map.GetMouseY();
        const double scale = map.GetScale();
        ChangeScaleMap(map, 1500);
        EXPECT_DOUBLE_EQ(map.GetScale(), scale + 1500);
        EXPECT_NEAR(map.GetMouseX(), x, 1e-3);
        EXPECT_NEAR(map.GetMouseY(), y, 1e-3);
        ChangeScaleMap(map, -2500);
        EXPECT_NEAR(map.GetMouseX(), x, 1e-3);
        EXPECT_NEAR(map.GetMouseY(), y, 1e-3);
    }
    EXPECT_TRUE(map.paintEnabled());
    EXPECT_GT(invalidations, 0);
}

TEST(StatusTexts, ScaleFollowsThePatternWithTheLocaleDecimalSeparator)
{
    EXPECT_EQ(FormatScale(5000, kRussian), "5000");
    EXPECT_EQ(FormatScale(1234567.5, kRussian), "1234567,5") << "no group separators";
    EXPECT_EQ(FormatScale(1234567.5, kEnglish), "1234567.5");
    EXPECT_EQ(FormatScale(0.5, kRussian), ",5") << "no zero before the separator";
    EXPECT_EQ(FormatScale(1.0 / 3, kEnglish), ".3333333") << "seven decimals at most";
    EXPECT_EQ(FormatScale(2.123456789, kEnglish), "2.1234568") << "rounded";
    EXPECT_EQ(FormatScale(4999.99999999, kEnglish), "5000");
    EXPECT_EQ(FormatScale(0, kEnglish), "") << "no digit is required by the pattern";
}

TEST(StatusTexts, NumbersCarryGroupSeparatorsAndTwoDecimals)
{
    const QString group = kRussian.groupSeparator();
    EXPECT_EQ(FormatNumberN(1234.5, kRussian), "1" + group + "234,50");
    EXPECT_EQ(FormatNumberN(1234567.891, kEnglish), "1,234,567.89");
    EXPECT_EQ(FormatNumberN(-12.3, kEnglish), "-12.30");
    EXPECT_EQ(FormatNumberN(1234.5, QLocale::c()), "1,234.50") << "even where the locale omits groups";
}

TEST(StatusTexts, StatusLineAndMeasurementTexts)
{
    EXPECT_EQ(ServisText(5000, 1234.5, 987, kEnglish), "Масштаб: 5000 Курсор:[x= 1,234.50 y= 987.00]");
    EXPECT_EQ(ServisText(2500.25, 10, -3.456, kRussian), "Масштаб: 2500,25 Курсор:[x= 10,00 y= -3,46]");
    EXPECT_EQ(MeasureText(1200, 300.256, kEnglish), "Расстояние: 1,200.00 м Сегмент: 300.26 м");
}

TEST(Labels, ALabelStandsForTheBuildingInItsSecondInteger)
{
    TIDList labels;
    labels.Add(501);
    labels.Add(502);
    labels.Values = {7001, 7002};
    EXPECT_EQ(LabelBuildingID(labels, 502), 7002);
    EXPECT_EQ(LabelBuildingID(labels, 501), 7001);
    EXPECT_EQ(LabelBuildingID(labels, 503), std::nullopt);
    labels.Add(504);
    EXPECT_EQ(LabelBuildingID(labels, 504), std::nullopt) << "an entry without a value is ignored";
}
