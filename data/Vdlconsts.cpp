#include "Vdlconsts.h"

const std::array<const char*, kEditionCount + 1> MapFiles = {"", "dataomk.abs", "datakrv.abs"};
const std::array<const char*, kEditionCount + 1> DMapFiles = {"", "demoomk.map", "demokrv.map"};
const std::array<const char*, kEditionCount + 1> GraphFiles = {"", "demoomk.graph", "demokrv.graph"};
const std::array<const char*, kEditionCount + 1> IconFiles = {"", "iconsomk.lib", "iconskrv.lib"};
const std::array<const char*, kEditionCount + 1> MapNames = {"", "Ольмарск", "Корвинск"};
const std::array<const char*, kEditionCount + 1> MapDescriptions = {"", "Ольмарск. Сентябрь 2008",
                                                                    "Корвинск. Сентябрь 2008"};

// The passwords the edition files are sealed with. They are deployment values:
// changing one makes every existing file of that edition unreadable.
const std::array<const char*, kEditionCount + 1> MapPw = {
    "",
    "v+yKoox/XAS>C&;>6a>5-<H9z^sH8TY^[hG8QTCcWdyrqOP(Cm!,3-HRdi9N2e=wVn<-48TKY'%L^V]BTs{bD<`F^Q2ukC/j]3_&9^W{55#6~rP#<c/"
    "c>q{,.d]S'5Kk",
    "MY@1.YG%<4YR[+nx}a/,>2SvRb!hBe_(<JFvXM8JC+W~]%9/hx$MO2'%BsUn-7msF:.-4Ol~Rp5_T>~tjd19eV9lEnp%iDrWY/Azqx^It(eobu*PEV="
    "usC`G5n7DR2W#",
};

const std::array<const char*, 9> LoadPics = {"Phones.bmp", "Web.bmp",      "Email.bmp",    "Bus.bmp",    "MiniBus.bmp",
                                             "Note.bmp",   "article.bmp", "Category.bmp", "Address.bmp"};

const std::array<const char*, 9> TypesObj = {"Дом",   "микрорайон", "по умолчанию", "Железная дорога", "район",
                                             "район2", "вода",       "остановка",    "дорожный знак"};

const std::array<bool, 6> VisibleObjMinScale = {false, false, false, false, true, false};
const std::array<bool, 6> VisibleObjgMinScale = {true, true, true, true, false, true};
