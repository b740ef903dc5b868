// The full-row list on a real display: a row selected by a real click is
// highlighted to the last column only, the other rows' background reaches
// the client's edge, a right-aligned column too narrow for its text shows it
// shortened and left-aligned, a double click and the arrow keys report their
// rows. The picture is kept (argument 1: its path).
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/frame.h>
#include <wx/init.h>
#include <wx/settings.h>
#include <wx/uiaction.h>
#include <wx/utils.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/core/Text.h"
#include "platform/wx/FullRowListCtrl.h"
#include "platform/wx/ScriptPlayer.h"

namespace platform {
namespace {

std::string g_picture = "full_row_list.png";

void Pump(int ms)
{
    const wxLongLong end = wxGetLocalTimeMillis() + ms;
    while (wxGetLocalTimeMillis() < end) {
        wxYield();
        wxMilliSleep(10);
    }
}

TEST(FullRowListWindow, SelectionShorteningAndFill)
{
    auto* frame = new wxFrame(nullptr, wxID_ANY, "list", wxPoint(40, 40), wxSize(400, 200));
    frame->SetClientSize(360, 150);
    auto* list = new FullRowListCtrl(frame, wxID_ANY, wxPoint(0, 0), wxSize(300, 120));
    list->SetColumns({{Utf8ToSjis(u8"部隊"), ColumnAlign::Left, 90}, {Utf8ToSjis(u8"戦力"), ColumnAlign::Right, 60}});
    list->AppendRow({Utf8ToSjis(u8"連邦歩兵"), "12"});
    list->AppendRow({Utf8ToSjis(u8"連邦戦車"), "123456789012"});  // wider than its column
    list->AppendRow({Utf8ToSjis(u8"連邦戦闘機隊の長い名前"), "7"});
    std::vector<int> changed, doubled;
    list->onItemChanged = [&](int row) { changed.push_back(row); };
    list->onDoubleClick = [&](int row) { doubled.push_back(row); };
    frame->Show();
    frame->Raise();
    Pump(500);

    // A real click on the second row.
    const int rowH = list->RowHeight(), headerH = list->HeaderHeight();
    const int y1 = headerH + rowH + rowH / 2;
    wxUIActionSimulator sim;
    const wxPoint at = list->ClientToScreen(wxPoint(40, y1));
    sim.MouseMove(at.x, at.y);
    sim.MouseClick();
    Pump(400);
    EXPECT_EQ(list->GetSelection(), 1);
    ASSERT_FALSE(changed.empty());
    EXPECT_EQ(changed.back(), 1);
    ASSERT_TRUE(ScriptPlayer::SaveWindowPicture(*list, g_picture));

    wxImage shot(wxString::FromUTF8(g_picture), wxBITMAP_TYPE_PNG);
    ASSERT_TRUE(shot.IsOk());
    auto colour = [&](int x, int y) { return wxColour(shot.GetRed(x, y), shot.GetGreen(x, y), shot.GetBlue(x, y)); };
    // The picture is the list's client area: its pixels are client points.
    const wxColour high = wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHT);
    const wxColour window = colour(250, headerH + rowH / 2);
    EXPECT_NE(high, window) << "the selected row is highlighted";
    int end = 0;
    for (int x = 5; x < shot.GetWidth(); ++x)
        if (colour(x, y1) == high) end = x;
    EXPECT_GE(end, 146) << "the highlight runs under both columns";
    EXPECT_LE(end, 149) << "and ends at the last column (150 wide)";
    EXPECT_EQ(colour(250, y1), window) << "right of the columns the selected row shows the window colour";
    EXPECT_EQ(colour(250, headerH + 2 * rowH + rowH / 2), window) << "an unselected row is filled to the edge";
    // The shortened number is drawn left-aligned: ink near the column's left.
    int inkLeft = -1;
    for (int x = 90; x < 150 && inkLeft < 0; ++x)
        for (int y = y1 - 2; y <= y1 + 2; ++y)
            if (colour(x, y) != high) {
                inkLeft = x;
                break;
            }
    EXPECT_GE(inkLeft, 90);
    EXPECT_LT(inkLeft, 100) << "a shortened right-aligned text starts at the left";

    // Down arrow and a double click.
    sim.Char(WXK_DOWN);
    Pump(300);
    EXPECT_EQ(list->GetSelection(), 2);
    const wxPoint at0 = list->ClientToScreen(wxPoint(40, headerH + rowH / 2));
    sim.MouseMove(at0.x, at0.y);
    sim.MouseDblClick();
    Pump(400);
    ASSERT_FALSE(doubled.empty());
    EXPECT_EQ(doubled.back(), 0);
    const auto rows = list->RowsForLog();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], u8"*連邦歩兵 | 12");
    frame->Destroy();
    Pump(100);
}

}  // namespace
}  // namespace platform

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (argc > 1) platform::g_picture = argv[1];
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) {
        std::fprintf(stderr, "needs a display\n");
        return 0;
    }
    wxApp::SetInstance(new wxApp);
    if (!wxEntryStart(argc, argv)) return 1;
    wxTheApp->CallOnInit();
    wxInitAllImageHandlers();
    const int result = RUN_ALL_TESTS();
    wxTheApp->OnExit();
    wxEntryCleanup();
    return result;
}
