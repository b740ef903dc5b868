// The baseline of the start-up benchmark: an empty wx window of the battle
// window's size. At its first paint it prints "first frame <ns>" (the
// real-time clock) and ends.
#include <time.h>

#include <cstdio>

#include <wx/app.h>
#include <wx/dcclient.h>
#include <wx/frame.h>

namespace {

long long RealTimeNs()
{
    timespec t{};
    clock_gettime(CLOCK_REALTIME, &t);
    return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

}  // namespace

class EmptyApp : public wxApp {
public:
    bool OnInit() override
    {
        auto* frame = new wxFrame(nullptr, wxID_ANY, "empty");
        auto* client = new wxWindow(frame, wxID_ANY);
        client->Bind(wxEVT_PAINT, [this, frame, client](wxPaintEvent&) {
            wxPaintDC dc(client);
            if (m_painted) return;
            m_painted = true;
            std::printf("first frame %lld\n", RealTimeNs());
            std::fflush(stdout);
            CallAfter([frame] { frame->Destroy(); });
        });
        frame->SetClientSize(1024, 700);
        frame->Show();
        return true;
    }

private:
    bool m_painted = false;
};

wxIMPLEMENT_APP(EmptyApp);
