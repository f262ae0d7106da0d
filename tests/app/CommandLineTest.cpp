#include "app/CommandLine.h"

#include <gtest/gtest.h>

namespace {

TEST(IsUpdateCommandTest, GrammarRows) {
  EXPECT_TRUE(IsUpdateCommand(L"update"));                 // no ",,": plain "update" counts
  EXPECT_TRUE(IsUpdateCommand(L"xupdatex"));
  EXPECT_TRUE(IsUpdateCommand(L"update,,autostart"));
  EXPECT_TRUE(IsUpdateCommand(L"a,,update,,b"));
  EXPECT_FALSE(IsUpdateCommand(L"x,,update"));             // ",," present but no "update,,"
  EXPECT_FALSE(IsUpdateCommand(L"autostart"));
  EXPECT_FALSE(IsUpdateCommand(L""));
  EXPECT_FALSE(IsUpdateCommand(L"UPDATE"));                // case-sensitive
  EXPECT_FALSE(IsUpdateCommand(L"Update,,autostart"));
  EXPECT_TRUE(IsUpdateCommand(L"DeskFavor;strjs=update,x"));  // any "update" counts without ",,"
}

TEST(DeskFavorCommandTest, FirstTenCharactersIgnoringCase) {
  EXPECT_TRUE(IsDeskFavorCommand(L"DeskFavor;strjs={}"));
  EXPECT_TRUE(IsDeskFavorCommand(L"deskfavor;id=1 strjs={...}"));
  EXPECT_TRUE(IsDeskFavorCommand(L"DESKFAVOR;"));
  EXPECT_FALSE(IsDeskFavorCommand(L"DeskFavor"));          // shorter than the prefix
  EXPECT_FALSE(IsDeskFavorCommand(L" DeskFavor;"));
  EXPECT_FALSE(IsDeskFavorCommand(L"update,,DeskFavor;strjs=T"));
  EXPECT_FALSE(IsDeskFavorCommand(L""));
}

TEST(DeskFavorCommandTest, FavoriteTextIsEverythingAfterFirstMarker) {
  EXPECT_EQ(FavoriteTextOf(L"DeskFavor;id=1 strjs={\"a\":1}"), L"{\"a\":1}");
  EXPECT_EQ(FavoriteTextOf(L"DeskFavor;strjs=abc strjs=def"), L"abc strjs=def");
  EXPECT_EQ(FavoriteTextOf(L"DeskFavor;strjs="), L"");
  EXPECT_EQ(FavoriteTextOf(L"DeskFavor;id=2"), L"");
  EXPECT_EQ(FavoriteTextOf(L"DeskFavor;STRJS=abc"), L"");  // the marker is case-sensitive
}

TEST(UninstallCommandTest, WholeTextIgnoringCase) {
  EXPECT_TRUE(IsUninstallCommand(L"/uinst"));
  EXPECT_TRUE(IsUninstallCommand(L"/UINST"));
  EXPECT_TRUE(IsUninstallCommand(L"/UiNsT"));
  EXPECT_FALSE(IsUninstallCommand(L"/uinst "));
  EXPECT_FALSE(IsUninstallCommand(L"/uinstall"));
  EXPECT_FALSE(IsUninstallCommand(L""));
}

TEST(UpdateStartCommandTest, CommandIsSecondNonEmptyPiece) {
  EXPECT_EQ(UpdateStartCommand(L"update,,autostart"), L"autostart");
  EXPECT_EQ(UpdateStartCommand(L"update,,,,DeskFavor;strjs=abc"), L"DeskFavor;strjs=abc");
  EXPECT_EQ(UpdateStartCommand(L"update,,/uinst,,ignored"), L"/uinst");
  EXPECT_EQ(UpdateStartCommand(L"update"), L"");
  EXPECT_EQ(UpdateStartCommand(L"update,,"), L"");
  EXPECT_EQ(UpdateStartCommand(L""), L"");
}

TEST(UpdaterParametersTest, ModeApplicationAndCommand) {
  EXPECT_EQ(UpdaterParameters(L"VXTailcast", L"autostart"), L"AUTOSILENT,,VXTailcast,,autostart");
  EXPECT_EQ(UpdaterParameters(L"VXTailcast", L""), L"AUTOSILENT,,VXTailcast,,");
}

TEST(CommandLineTest, HundredThousandCharacterLines) {
  const std::wstring filler(100000, L'x');
  EXPECT_FALSE(IsUpdateCommand(filler));
  EXPECT_TRUE(IsUpdateCommand(filler + L"update"));
  const std::wstring favorite = L"update,,DeskFavor;strjs=" + filler;
  EXPECT_TRUE(IsDeskFavorCommand(UpdateStartCommand(favorite)));
  EXPECT_EQ(FavoriteTextOf(UpdateStartCommand(favorite)), filler);
  const std::wstring commas(100000, L',');
  EXPECT_TRUE(UpdateStartCommand(commas).empty());
}

}  // namespace
