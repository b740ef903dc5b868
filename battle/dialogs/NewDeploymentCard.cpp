#include "battle/dialogs/NewDeploymentCard.h"

#include <cstring>

#include "foundation/DataLibrary.h"
#include "platform/core/Format.h"
#include "platform/core/Text.h"

namespace zrv {

std::vector<std::string> SplitReportSentence(const std::string& sentence, int nameBytes)
{
    constexpr size_t kOneLine = 30;
    if (sentence.size() <= kOneLine) return {sentence};
    const size_t limit = 28 - (nameBytes % 2 != 0 ? 1 : 0);
    // The last character boundary at or before the limit.
    size_t cut = 0;
    for (size_t i = 0; i < sentence.size();) {
        const size_t next = i + (platform::IsSjisLead(static_cast<unsigned char>(sentence[i])) ? 2 : 1);
        if (next > limit) break;
        cut = next;
        i = next;
    }
    return {sentence.substr(0, cut), sentence.substr(cut)};
}

CardTexts NewDeploymentCard::Texts() const
{
    CardTexts t;
    const std::string heading = "新規配備報告";
    t.push_back({(28 - static_cast<int>(heading.size())) * 3 + 42, 51, heading});
    const char* name = TableText(Lib().UnitNameJ, m_nArms);
    const std::string sentence = platform::FormatText("　｢%s｣が新たに配備されました。", {name});
    const std::vector<std::string> lines = SplitReportSentence(sentence, static_cast<int>(std::strlen(name)));
    for (size_t i = 0; i < lines.size(); ++i) t.push_back({42, 119 + 17 * static_cast<int>(i), lines[i]});
    return t;
}

bool NewDeploymentCard::Paint(CDib& card, CDib* entry2, const platform::Font* font,
                              const std::function<void(CDib&, int, int, int)>& unitPicture) const
{
    if (entry2 == nullptr) return false;
    entry2->CopyRect(&card, kShownX, kShownY, kShownW, kShownH, 340, 0, -1);
    DrawCardTexts(card, font, Texts());
    if (unitPicture && ArmsRecord(m_nArms) != nullptr) unitPicture(card, kPictureX, kPictureY, m_nArms);
    return true;
}

}  // namespace zrv
