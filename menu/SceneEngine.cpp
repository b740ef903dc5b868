#include "menu/SceneEngine.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "foundation/DataLibrary.h"
#include "foundation/Utility.h"
#include "menu/MenuDoc.h"

namespace zrv {

namespace {

constexpr uint32_t kResultLower = 1u << 30;
constexpr uint32_t kResultRaise = 1u << 29;
constexpr uint32_t kResultMasked = 1u << 28;
constexpr int kSlotCount = 32;
constexpr int kCountryCount8 = 8;
// A script longer than this is not ours.
constexpr size_t kScriptLimit = 65536;
// Opcodes one Pump may run without a wait before the script counts as stuck.
constexpr int kOpsPerPump = 100000;

// Punctuation that may stand one cell beyond the line width (CP932):
// 、。，．？！）〕］｝〉》」』】
constexpr std::array<const char*, 15> kHanging = {"\x81\x41", "\x81\x42", "\x81\x43", "\x81\x44", "\x81\x48",
                                                  "\x81\x49", "\x81\x6A", "\x81\x6C", "\x81\x6E", "\x81\x70",
                                                  "\x81\x72", "\x81\x74", "\x81\x76", "\x81\x78", "\x81\x7A"};
// "　～　" (CP932), between the dates of the campaign summary.
constexpr const char* kDateJoin = "\x81\x40\x81\x60\x81\x40";

bool LeadByte(uint8_t b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

std::string Text(const char* p)
{
    return p != nullptr ? std::string(p) : std::string();
}

std::string FieldString(const char* p, size_t n)
{
    return std::string(p, strnlen(p, n));
}

int Length(const std::string& s)
{
    return static_cast<int>(s.size());
}

}  // namespace

// ---- the constant scripts ----

std::span<const int32_t> ResultScript()
{
    static const std::vector<int32_t> script = [] {
        std::vector<int32_t> s = {1, 10};
        for (int c = 0; c < 8; ++c) {
            s.insert(s.end(), {24, c, 25});
        }
        s.insert(s.end(), {34, 1, 30, 27, 28, 128, 1, 20, 30, 31, 2, 32, 33, 29, 128, 0});
        return s;
    }();
    return script;
}

std::span<const int32_t> BriefingScript()
{
    static const std::vector<int32_t> script = [] {
        std::vector<int32_t> s = {1, 10, 12, 16, 4};
        for (int c = 0; c < 8; ++c) s.insert(s.end(), {23, c});
        s.insert(s.end(), {1, 30, 27, 28, 128, 50, 51, 2, 0});
        return s;
    }();
    return script;
}

// ---- text ----

size_t SceneText::CharLength(std::string_view text)
{
    if (text.empty()) return 0;
    return LeadByte(static_cast<uint8_t>(text[0])) && text.size() >= 2 ? 2 : 1;
}

bool SceneText::MayHang(std::string_view rest)
{
    if (CharLength(rest) != 2) return false;
    for (const char* m : kHanging)
        if (rest.compare(0, 2, m) == 0) return true;
    return false;
}

void SceneText::Start(std::vector<Segment> segments)
{
    m_segments = std::move(segments);
    m_segment = 0;
    m_pos = 0;
    m_line = 0;
    m_col = 0;
}

void SceneText::NewPage()
{
    m_line = 0;
    m_col = 0;
}

bool SceneText::Remaining() const
{
    for (size_t s = m_segment; s < m_segments.size(); ++s)
        if ((s == m_segment ? m_pos : 0) < m_segments[s].text.size()) return true;
    return false;
}

SceneText::Step SceneText::Next(SceneStage& stage)
{
    while (m_segment < m_segments.size() && m_pos >= m_segments[m_segment].text.size()) {
        ++m_segment;
        m_pos = 0;
        m_line = 0;
        m_col = 0;
    }
    if (m_segment >= m_segments.size()) return Step::Done;
    const Segment& seg = m_segments[m_segment];
    const std::string_view rest = std::string_view(seg.text).substr(m_pos);
    bool lineBreak = false;
    if (rest[0] == '\n') {
        ++m_pos;
        lineBreak = true;
    } else if (seg.width > 0 && m_col >= seg.width && !(m_col == seg.width && MayHang(rest))) {
        lineBreak = true;
    }
    if (lineBreak) {
        ++m_line;
        m_col = 0;
        if (seg.lastLine >= 0 && m_line > seg.lastLine) return Step::PageEnd;
        return Step::Break;
    }
    const size_t n = CharLength(rest);
    stage.DrawGlyph(seg.x + m_col * seg.cell, seg.y + m_line * seg.pitch, rest.substr(0, n), seg.height);
    m_pos += n;
    ++m_col;
    return Step::Char;
}

// ---- the engine ----

size_t SceneEngine::OpLength(std::span<const int32_t> words, size_t pos)
{
    if (pos >= words.size()) return 1;
    auto frame = [&](size_t at) -> size_t { return at < words.size() && words[at] == -1 ? 1 : 4; };
    switch (words[pos]) {
        case 1:
        case 3:
        case 8:
        case 10:
        case 16:
        case 17:
        case 19:
        case 21:
        case 23:
        case 24:
        case 28:
        case 29:
        case 36:
            return 2;
        case 9:
        case 11:
            return 3;
        case 13:
            return 1 + frame(pos + 1);
        case 15:
            return 1 + frame(pos + 1) + 1;
        case 18:
        case 20:
            return 5;
        default:
            return 1;
    }
}

size_t SceneEngine::ScriptLength(std::span<const int32_t> words)
{
    size_t pos = 0;
    while (pos < words.size() && pos < kScriptLimit) {
        if (words[pos] == 0) return pos + 1;
        pos += OpLength(words, pos);
    }
    return std::min(words.size(), kScriptLimit);
}

std::vector<int32_t> SceneEngine::ScriptFrom(const int32_t* first)
{
    std::vector<int32_t> words;
    if (first == nullptr) return words;
    // No opcode takes more than six words.
    for (size_t pos = 0; pos < kScriptLimit;) {
        const size_t len = OpLength(std::span<const int32_t>(first + pos, first[pos] == 13 || first[pos] == 15 ? 2 : 1), 0);
        words.insert(words.end(), first + pos, first + pos + len);
        if (first[pos] == 0) break;
        pos += len;
    }
    return words;
}

bool SceneEngine::Begin(std::span<const int32_t> script)
{
    m_nResult = 0;
    m_script.assign(script.begin(), script.begin() + static_cast<std::ptrdiff_t>(ScriptLength(script)));
    m_pos = 0;
    m_bSkip = m_bClickWait = m_bWaitPending = m_bNoClickSkip = false;
    m_nTimer = 0;
    m_nRemembered = -1;
    m_bLoop = false;
    if (m_script.empty() || m_script[0] == 0) return false;
    m_dwFlags |= kRunning;
    m_host.LockMenus(true);
    return true;
}

void SceneEngine::End(int result)
{
    if (m_nTimer != 0) m_host.KillTimer(m_nTimer);
    m_nTimer = 0;
    m_bWaitPending = m_bClickWait = m_bSkip = false;
    m_nResult = result;
    if (Running()) {
        m_dwFlags &= ~kRunning;
        m_host.LockMenus(false);
    }
}

void SceneEngine::Pump()
{
    int ops = 0;
    while (Running() && !m_bWaitPending) {
        if (++ops > kOpsPerPump) {
            End(0);
            return;
        }
        Exec();
    }
}

void SceneEngine::OnClose()
{
    if (Running()) End(1);
}

void SceneEngine::OnClick()
{
    if (!Running() || m_bNoClickSkip) return;
    if (m_bWaitPending && m_bClickWait) {
        m_bClickWait = m_bWaitPending = m_bSkip = false;
        return;
    }
    m_bSkip = true;
    // A timed wait ends at once.
    while (m_bWaitPending && !m_bClickWait) TimerStep(true);
}

void SceneEngine::OnTimer(int id)
{
    if (!Running() || !m_bWaitPending || m_bClickWait || id != m_nTimer) return;
    TimerStep(m_bSkip);
}

bool SceneEngine::Wait(int id, int periodMs)
{
    if (!m_host.StartTimer(id, periodMs)) return false;
    m_nTimer = id;
    m_bWaitPending = true;
    return true;
}

void SceneEngine::FadeTo(int from, int to, int step, int id)
{
    m_nLevel = from;
    m_nFadeTarget = to;
    m_nFadeStep = step;
    if (!Wait(id, kSceneTickMs)) {
        m_nLevel = to;
        m_host.ApplyFadeLevel(m_nLevel);
    }
}

void SceneEngine::StartWriter(int id)
{
    m_nCounter = 1;
    if (!Wait(id, kSceneTickMs)) {
        // No timer: the page is written at once.
        for (;;) {
            const SceneText::Step s = m_text.Next(m_stage);
            if (s == SceneText::Step::PageEnd || s == SceneText::Step::Done) break;
        }
        if (id == kTimerEndingText && !m_text.Remaining()) ++m_nPicture;
    }
}

void SceneEngine::TimerStep(bool skip)
{
    bool done = false;
    switch (m_nTimer) {
        case kTimerWait:
            done = skip || --m_nCounter < 0;
            break;
        case kTimerFadeDown:
        case kTimerFadeDownSlow:
            m_nLevel = skip ? m_nFadeTarget : m_nLevel - m_nFadeStep;
            if (m_nLevel <= m_nFadeTarget) {
                m_nLevel = m_nFadeTarget;
                done = true;
            }
            m_host.ApplyFadeLevel(m_nLevel);
            break;
        case kTimerFadeUp:
        case kTimerFadeUpSlow:
            m_nLevel = skip ? 255 : m_nLevel + m_nFadeStep;
            if (m_nLevel >= 255) {
                m_nLevel = 255;
                done = true;
            }
            m_host.ApplyFadeLevel(m_nLevel);
            break;
        case kTimerFlags:
            done = !m_stage.Redraw(skip);
            break;
        case kTimerScroll:
            done = m_stage.ScrollStep(skip);
            break;
        case kTimerFrame:
            done = m_stage.FrameStep(skip);
            break;
        case kTimerDot:
            done = m_stage.DotStep(skip);
            break;
        case kTimerOutcomeText:
        case kTimerBriefingText:
        case kTimerEndingText:
        case kTimerSummaryText: {
            if (skip) {
                // The page is finished at once, without sounds.
                SceneText::Step s;
                do {
                    s = m_text.Next(m_stage);
                } while (s == SceneText::Step::Char || s == SceneText::Step::Break);
                done = true;
            } else if (--m_nCounter <= 0) {
                const int longest = m_nTimer == kTimerOutcomeText ? 4 : 3;
                switch (m_text.Next(m_stage)) {
                    case SceneText::Step::Char:
                        m_host.PlayEffect(4);
                        m_nCounter = m_host.Random(2, longest);
                        break;
                    case SceneText::Step::Break:
                        m_host.PlayEffect(5);
                        m_nCounter = m_host.Random(2, longest) + 20;
                        break;
                    default:
                        done = true;
                        break;
                }
            }
            if (done && m_nTimer == kTimerEndingText && !m_text.Remaining()) ++m_nPicture;
            break;
        }
        default:
            done = true;
            break;
    }
    if (done) {
        m_host.KillTimer(m_nTimer);
        m_nTimer = 0;
        m_bWaitPending = false;
    }
}

const SCNRBASESTRUCT* SceneEngine::Scenario(int index) const
{
    if (index < 0 || index >= Lib().g_nMaxScnr || static_cast<size_t>(index) >= Lib().ScenarioData.size())
        return nullptr;
    return &Lib().ScenarioData[static_cast<size_t>(index)];
}

bool SceneEngine::CountryActs(uint32_t word, int country) const
{
    if ((word & kResultMasked) == 0) return true;
    return m_pRecord != nullptr && (m_pRecord->Player.dwCpuTarget & (1u << country)) != 0;
}

void SceneEngine::RiseAtStart(int country, int flag)
{
    const SCNRBASESTRUCT* s = Scenario(m_nScenario);
    if (s == nullptr) return;
    m_stage.RaiseFlag(country, s->Start[country].x, s->Start[country].y, flag);
    if (!Wait(kTimerFlags, kSceneTickMs)) m_stage.Redraw(true);
}

void SceneEngine::ApplyChanges()
{
    const SCNRBASESTRUCT* s = Scenario(m_nScenario);
    if (s == nullptr || m_pRecord == nullptr || m_nOutcome < 0 || m_nOutcome > 2) return;
    const SCNRBRANCH& b = s->Branch[m_nOutcome];
    const int cities = std::min<int>(Lib().g_nMaxIWCity, kWorldCityCount);
    if (const int32_t* p = b.pCityChange) {
        for (;;) {
            const int32_t id = *p++;
            if (id < 0) break;
            bool applies = id >= 34;
            for (uint8_t c : m_pRecord->byCountryId) applies = applies || c == id;
            for (;;) {
                const int32_t city = *p++;
                if (city < 0) break;
                const int32_t value = *p++;
                if (applies && city < cities) m_pRecord->dwWorldCity[city] = static_cast<uint32_t>(value);
            }
        }
    }
    if (const int32_t* p = b.pCountryChange) {
        for (;;) {
            const int32_t index = *p++;
            if (index < 0) break;
            const int32_t value = *p++;
            if (index < kWorldNationCount) m_pRecord->dwWorldNation[index] = static_cast<uint32_t>(value);
        }
    }
}

void SceneEngine::LoadOutcomeText()
{
    std::string text;
    if (const SCNRBASESTRUCT* s = Scenario(m_nScenario); s != nullptr && m_nOutcome >= 0 && m_nOutcome <= 2)
        text = Text(s->Branch[m_nOutcome].pszOutcome);
    SceneText::Segment seg;
    seg.text = text;
    seg.x = 80;
    seg.y = 50;
    seg.width = (m_stage.ClientWidth() - 160) / 20;
    seg.lastLine = (m_stage.ClientHeight() - 100) / 30;
    m_text.Start({seg});
}

void SceneEngine::StartBriefingText()
{
    const int cw = m_stage.ClientWidth();
    const int left = (cw - 420) / 2, top = 20;
    std::vector<SceneText::Segment> segs;
    std::string date;
    if (m_pRecord != nullptr) FormatDateText(m_pRecord->dwDate, date, false, false);
    SceneText::Segment d;
    d.text = date;
    d.x = left;
    d.y = top;
    segs.push_back(d);
    const SCNRBASESTRUCT* s = Scenario(m_nScenario);
    SceneText::Segment area;
    area.text = s != nullptr ? FieldString(s->szArea, sizeof s->szArea) : std::string();
    area.x = left + (21 - Length(area.text) / 2) * 20;
    area.y = top;
    segs.push_back(area);
    SceneText::Segment title;
    title.text = m_pRecord != nullptr ? FieldString(m_pRecord->szTitle, sizeof m_pRecord->szTitle) : std::string();
    title.x = (cw - Length(title.text) * 10) / 2;
    title.y = top + 30;
    segs.push_back(title);
    SceneText::Segment body;
    body.text = s != nullptr ? Text(s->pszDescription) : std::string();
    body.x = 80;
    body.y = top + 90;
    body.width = (cw - 160) / 20;
    segs.push_back(body);
    m_text.Start(std::move(segs));
}

void SceneEngine::PlaceSummary()
{
    const int cw = m_stage.ClientWidth(), ch = m_stage.ClientHeight();
    const int left = (cw - 420) / 2;
    int top = ch - 70;
    if (const SCNRBASESTRUCT* s = Scenario(m_nLoopCurrent)) {
        // The box goes to the top when the space below the scenario's area in
        // the view is both smaller than the space above it and under 60 pixels.
        const int scrollY = m_stage.ScrollY();
        const int below = ch - (s->rcMap[3] - scrollY);
        const int above = s->rcMap[1] - scrollY;
        if (below < above && below < 60) top = 20;
    }
    std::vector<SceneText::Segment> segs;
    std::string from, to;
    const CAMPAIGNHISTSTRUCT* e = nullptr;
    if (m_pRecord != nullptr && m_nLoopCount >= 0 && m_nLoopCount < std::clamp(m_pRecord->nHistory, 0, kHistoryCount))
        e = &m_pRecord->History[m_nLoopCount];
    if (e != nullptr) {
        FormatDateText(e->dwStartDate, from, false, false);
        FormatDateText(e->dwEndDate, to, false, false);
    }
    SceneText::Segment dates;
    dates.text = e != nullptr ? from + kDateJoin + to : std::string();
    dates.x = left;
    dates.y = top;
    segs.push_back(dates);
    SceneText::Segment title;
    title.text = e != nullptr ? FieldString(e->szName, sizeof e->szName) : std::string();
    title.x = left;
    title.y = top + 30;
    segs.push_back(title);
    SceneText::Segment result;
    result.text = e != nullptr ? Text(TableText(Lib().MsgResult, static_cast<int>(e->dwScenario >> 16))) : "";
    result.x = left + (21 - Length(result.text) / 2) * 20;
    result.y = top + 30;
    segs.push_back(result);
    m_text.Start(std::move(segs));
}

void SceneEngine::StartEndingText()
{
    std::vector<SceneText::Segment> segs;
    if (m_nPicture >= 0 && static_cast<size_t>(m_nPicture) < m_pictures.size()) {
        const ENDINGPICTURE& p = m_pictures[static_cast<size_t>(m_nPicture)];
        const int cw = m_stage.ClientWidth();
        SceneText::Segment title;
        title.text = Text(p.pszTitle);
        title.cell = title.height = 18;
        title.x = (cw - Length(title.text) * 9) / 2;
        title.y = 12;
        segs.push_back(title);
        SceneText::Segment sub;
        sub.text = Text(p.pszSubtitle);
        sub.cell = sub.height = 28;
        sub.x = (cw - Length(sub.text) * 14) / 2;
        sub.y = 50;
        segs.push_back(sub);
        SceneText::Segment body;
        body.text = Text(p.pszBody);
        body.cell = body.height = 18;
        body.x = 50;
        body.y = 344;
        body.width = (cw - 100) / 18;
        body.pitch = 26;
        segs.push_back(body);
    }
    m_text.Start(std::move(segs));
}

void SceneEngine::Exec()
{
    if (m_pos >= m_script.size()) {
        End(0);
        return;
    }
    const std::span<const int32_t> words(m_script);
    const size_t len = OpLength(words, m_pos);
    if (m_pos + len > m_script.size()) {
        End(0);
        return;
    }
    auto arg = [&](size_t i) { return m_script[m_pos + i]; };
    const int32_t op = m_script[m_pos];
    size_t next = m_pos + len;
    switch (op) {
        case 0:
            End(0);
            return;
        case 1:
            m_nCounter = arg(1);
            Wait(kTimerWait, kSceneTickMs);
            break;
        case 2:
            // A click made before this opcode does not count.
            m_bSkip = false;
            m_bClickWait = m_bWaitPending = true;
            break;
        case 3:
            m_host.PlayEffect(arg(1));
            break;
        case 4:
        case 26:
            m_stage.Redraw(false);
            break;
        case 5:
            m_host.SaveFadeBase();
            FadeTo(255, 0, 32, kTimerFadeDown);
            break;
        case 6:
            m_bNoClickSkip = true;
            break;
        case 7:
            m_bNoClickSkip = false;
            break;
        case 8:
        case 10: {
            const int32_t city = arg(1);
            if (city < 0 || city >= Lib().g_nMaxIWCity || static_cast<size_t>(city) >= Lib().IWCityData.size()) break;
            const IWCITYSTRUCT& c = Lib().IWCityData[static_cast<size_t>(city)];
            if (op == 8) {
                m_stage.CentreOn(c.x, c.y);
            } else if (m_stage.StartScroll(c.x, c.y)) {
                Wait(kTimerScroll, kScrollTickMs);
            }
            break;
        }
        case 9:
            m_stage.CentreOn(arg(1), arg(2));
            break;
        case 11:
            if (m_stage.StartScroll(arg(1), arg(2))) Wait(kTimerScroll, kScrollTickMs);
            break;
        case 12: {
            const PointI c = ScenarioCentre(m_nScenario);
            if (Scenario(m_nScenario) != nullptr && m_stage.StartScroll(c.x, c.y)) Wait(kTimerScroll, kScrollTickMs);
            break;
        }
        case 13:
            m_stage.ShowFrame(arg(1) == -1 ? nullptr : &m_script[m_pos + 1]);
            m_stage.Redraw(false);
            break;
        case 14:
        case 42:
            m_stage.HideFrame();
            m_stage.Redraw(false);
            break;
        case 15: {
            const bool keep = arg(1) == -1;
            const int step = arg(keep ? 2 : 5);
            if (m_stage.StartClosingFrame(keep ? nullptr : &m_script[m_pos + 1], step, true))
                Wait(kTimerFrame, kSceneTickMs);
            break;
        }
        case 16:
        case 17:
            if (const SCNRBASESTRUCT* s = Scenario(m_nScenario)) {
                if (m_stage.StartClosingFrame(s->rcMap, arg(1), op == 16)) Wait(kTimerFrame, kSceneTickMs);
            }
            break;
        case 18:
        case 20: {
            const int32_t slot = arg(1);
            if (slot < 0 || slot >= kSlotCount) break;
            if (op == 18) {
                m_stage.StandFlag(slot, arg(2), arg(3), arg(4));
                m_stage.Redraw(false);
            } else {
                m_stage.RaiseFlag(slot, arg(2), arg(3), arg(4));
            }
            break;
        }
        case 19:
        case 21: {
            const int32_t slot = arg(1);
            if (slot < 0 || slot >= kSlotCount) break;
            if (op == 19) {
                m_stage.ClearSlot(slot);
                m_stage.Redraw(false);
            } else {
                m_stage.SinkFlag(slot);
            }
            break;
        }
        case 22:
            if (!Wait(kTimerFlags, kSceneTickMs)) m_stage.Redraw(true);
            break;
        case 23: {
            const int32_t c = arg(1);
            const SCNRBASESTRUCT* s = Scenario(m_nScenario);
            if (c < 0 || c >= kCountryCount8 || s == nullptr || s->Start[c].nValue < 0) break;
            RiseAtStart(c, s->Start[c].nValue);
            break;
        }
        case 24: {
            m_nRemembered = -1;
            const int32_t c = arg(1);
            const SCNRBASESTRUCT* s = Scenario(m_nScenario);
            if (c < 0 || c >= kCountryCount8 || s == nullptr || m_nOutcome < 0 || m_nOutcome > 2) break;
            const uint32_t word = s->Branch[m_nOutcome].dwCountryResult[c];
            if ((word & kResultLower) == 0 || !CountryActs(word, c)) break;
            m_stage.SinkFlag(c);
            m_nRemembered = c;
            if (!Wait(kTimerFlags, kSceneTickMs)) m_stage.Redraw(true);
            break;
        }
        case 25: {
            const int c = m_nRemembered;
            const SCNRBASESTRUCT* s = Scenario(m_nScenario);
            if (c < 0 || s == nullptr || m_nOutcome < 0 || m_nOutcome > 2) break;
            const uint32_t word = s->Branch[m_nOutcome].dwCountryResult[c];
            if ((word & kResultRaise) == 0 || !CountryActs(word, c)) break;
            RiseAtStart(c, static_cast<int>(word & 0xFFFFu));
            break;
        }
        case 27:
            m_host.SaveFadeBase();
            break;
        case 28:
            FadeTo(255, arg(1), 4, kTimerFadeDownSlow);
            break;
        case 29:
            FadeTo(arg(1), 255, 4, kTimerFadeUpSlow);
            break;
        case 30:
            LoadOutcomeText();
            break;
        case 31:
            StartWriter(kTimerOutcomeText);
            break;
        case 32:
            if (m_text.Remaining()) {
                if (m_pos < 2) {
                    End(0);
                    return;
                }
                m_stage.ClearText();
                m_stage.Redraw(false);
                m_text.NewPage();
                m_nCounter = 1;
                next = m_pos - 2;
            }
            break;
        case 33:
            m_stage.ShowLiveMap();
            m_stage.Redraw(false);
            break;
        case 34:
            ApplyChanges();
            m_stage.Redraw(false);
            break;
        case 35:
            m_nLoopCount = 0;
            m_nLoopPrevious = -1;
            m_nLoopCurrent = -1;
            if (m_pRecord != nullptr && m_pRecord->nHistory > 0)
                m_nLoopCurrent = static_cast<int>(m_pRecord->History[0].dwScenario & 0xFFFFu);
            m_bLoop = true;
            m_stage.Prerender();
            break;
        case 36: {
            ++m_nLoopCount;
            const int count = m_pRecord != nullptr ? std::clamp(m_pRecord->nHistory, 0, kHistoryCount) : 0;
            if (m_nLoopCount < count) {
                m_nLoopPrevious = m_nLoopCurrent;
                m_nLoopCurrent = static_cast<int>(m_pRecord->History[m_nLoopCount].dwScenario & 0xFFFFu);
                // A jump outside the script ends it.
                const int64_t target = static_cast<int64_t>(m_pos) + 2 - arg(1);
                if (target < 0 || target >= static_cast<int64_t>(m_script.size())) {
                    End(0);
                    return;
                }
                next = static_cast<size_t>(target);
            } else {
                m_bLoop = false;
            }
            break;
        }
        case 37: {
            int result = 0;
            if (m_pRecord != nullptr && m_nLoopCount >= 0 &&
                m_nLoopCount < std::clamp(m_pRecord->nHistory, 0, kHistoryCount))
                result = static_cast<int>(m_pRecord->History[m_nLoopCount].dwScenario >> 16);
            if (Scenario(m_nLoopCurrent) != nullptr) {
                const PointI c = ScenarioCentre(m_nLoopCurrent);
                m_stage.MarkScenario(c.x, c.y, result);
            }
            m_host.PlayEffect(26);
            m_stage.Redraw(false);
            break;
        }
        case 38:
            PlaceSummary();
            break;
        case 39:
            StartWriter(kTimerSummaryText);
            break;
        case 40: {
            const PointI from = ScenarioCentre(m_nLoopPrevious), to = ScenarioCentre(m_nLoopCurrent);
            if (Scenario(m_nLoopPrevious) == nullptr || (from.x == to.x && from.y == to.y) ||
                !m_stage.StartDot(from.x, from.y, to.x, to.y)) {
                next = m_pos + 2;
            }
            break;
        }
        case 41:
            Wait(kTimerDot, kSceneTickMs);
            break;
        case 43:
            FadeTo(255, 1, 32, kTimerFadeDown);
            break;
        case 44:
            FadeTo(1, 255, 32, kTimerFadeUp);
            break;
        case 45:
        case 49:
            // The script stops when it asks for a picture past the last.
            if (m_nPicture < 0 || static_cast<size_t>(m_nPicture) >= m_pictures.size()) {
                End(0);
                return;
            }
            m_stage.ShowPicture(m_pictures[static_cast<size_t>(m_nPicture)].szPicture,
                                m_pictures[static_cast<size_t>(m_nPicture)].szPalette);
            m_nLevel = 0;
            break;
        case 46:
            m_stage.BackToMap();
            m_bSkip = m_bClickWait = false;
            m_nLevel = 0;
            break;
        case 47:
            m_text.Clear();
            m_nTextStage = 0;
            break;
        case 48:
            if (m_nPicture < 0 || static_cast<size_t>(m_nPicture) >= m_pictures.size()) {
                End(0);
                return;
            }
            StartEndingText();
            StartWriter(kTimerEndingText);
            break;
        case 50:
            StartBriefingText();
            break;
        case 51:
            StartWriter(kTimerBriefingText);
            break;
        default:
            // Not an opcode: the next word is taken as the next one.
            break;
    }
    if (Running()) m_pos = next;
}

}  // namespace zrv
