// The icon task run directly, against the emulator's picture and catalogue.
#include "follow/DoGetIco.h"

#include <windows.h>

#include "common/ScopedGdiplus.h"
#include "common/TextConvert.h"
#include "common/TraceRecord.h"
#include "favorites/ShortcutStore.h"
#include "tests/follow/FollowFixture.h"
#include "tests/support/EmulatorClient.h"

namespace {

using namespace vxtest;

class DoGetIcoTest : public FollowTest {
protected:
  void SetUp() override {
    FollowTest::SetUp();
    ASSERT_FALSE(EmulatorOrigin().empty()) << "no emulator: run the tests through tools/with-emulator.sh";
    ResetEmulator();
  }

  IconTaskRequest TaskFor(const DeskFavorRequest& favorite, const std::wstring& lnk) {
    IconTaskRequest task;
    task.AlbumID = favorite.AlbumID;
    task.PicUrl = EmulatorOrigin() + "/pictures/album_123_128_128.jpg";
    task.LnkPath = lnk;
    task.AlbumName = CleanName(favorite.AlbumName);
    task.Target = favorite.VideoUrl;
    task.Arguments = L"&src=fromtailcast";
    task.Episodic = 1;
    task.InfoType = favorite.InfoType;
    return task;
  }

private:
  const ScopedGdiplus m_gdiplus;
};

// A client favourite asks for no album information, so the episode count's trace stays.
TEST_F(DoGetIcoTest, UnreadableEpisodeCountLeavesTheNameAndIsTraced) {
  DeskFavorRequest favorite = WebFavorite(L"Garbled", 901, L"http://www.vexo.com/v_901.html");
  const std::wstring lnk = AddFavorite(favorite);
  favorite.InfoType = 1;  // as a client favourite: no address request follows
  CDoGetIco(TaskFor(favorite, lnk)).Run();
  EXPECT_EQ(ReadTrace(kTraceFile, L"Tailcast", L"UpdateName :"), L"获取最新集数失败！");
  ASSERT_TRUE(FileExists(lnk));
  EXPECT_NE(LinkAt(lnk).icon.find(L"album_901.ico"), std::wstring::npos);
  EXPECT_TRUE(EmulatorJson("GET", "/__emu/requests?prefix=/r/dorsa/album/b/").empty());
  EXPECT_EQ(StoredShortcuts()[0].strTips, std::string("Vexo\xca\xd3\xc6\xb5"));
}

// No picture, no icon: the task ends and the shortcut keeps everything it had.
TEST_F(DoGetIcoTest, MissingPictureLeavesTheProvisionalShortcut) {
  const DeskFavorRequest favorite = WebFavorite(L"NoPicture", 123, L"http://www.vexo.com/v_123.html");
  const std::wstring lnk = AddFavorite(favorite);
  const LinkInfo before = LinkAt(lnk);
  IconTaskRequest task = TaskFor(favorite, lnk);
  task.PicUrl = EmulatorOrigin() + "/pictures/missing.jpg";
  CDoGetIco(task).Run();
  EXPECT_EQ(LinkAt(lnk).icon, before.icon);
  EXPECT_TRUE(EmulatorJson("GET", "/__emu/requests?prefix=/r/dorsa/album/").empty());
}

}  // namespace
