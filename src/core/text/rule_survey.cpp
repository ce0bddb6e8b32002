#include "core/text/rule_survey.h"

#include <algorithm>

namespace {

// Less text than this between two headings is no chapter: a line of a
// table of contents, or a volume title right before its first chapter.
constexpr qsizetype kEmptyChapter = 50;

int ChineseDigit(QChar c)
{
    static constexpr QStringView kDigits = u"零一二三四五六七八九";
    if (c == u'〇')
        return 0;
    if (c == u'两')
        return 2;
    const qsizetype at = kDigits.indexOf(c);
    return at >= 0 ? static_cast<int>(at) : -1;
}

int ChineseUnit(QChar c)
{
    switch (c.unicode()) {
    case u'十': return 10;
    case u'百': return 100;
    case u'千': return 1000;
    case u'万': return 10000;
    default: return 0;
    }
}

int DigitValue(QChar c)
{
    if (c >= u'0' && c <= u'9')
        return c.unicode() - u'0';
    if (c >= u'０' && c <= u'９')
        return c.unicode() - u'０';
    return -1;
}

long long ChineseNumber(QStringView text)
{
    long long total = 0;    // whole 万 groups
    long long section = 0;  // below 万
    long long digit = -1;
    bool unitSeen = false;
    for (QChar c : text) {
        if (const int d = ChineseDigit(c); d >= 0) {
            // Digits without units (一二三) read as a plain number.
            digit = (!unitSeen && digit >= 0) ? digit * 10 + d : d;
            continue;
        }
        const int unit = ChineseUnit(c);
        unitSeen = true;
        if (unit == 10000) {
            total = (total + section + std::max(digit, 0LL)) * 10000;
            section = 0;
        } else {
            section += (digit < 0 ? 1 : digit) * unit;
        }
        digit = -1;
    }
    return total + section + std::max(digit, 0LL);
}

int RomanValue(QChar c)
{
    switch (c.toUpper().unicode()) {
    case u'I': return 1;
    case u'V': return 5;
    case u'X': return 10;
    case u'L': return 50;
    case u'C': return 100;
    default: return 0;
    }
}

}  // namespace

std::optional<long long> HeadingNumber(QStringView title)
{
    qsizetype i = 0;
    while (i < title.size() && DigitValue(title[i]) < 0 && ChineseDigit(title[i]) < 0 && ChineseUnit(title[i]) == 0)
        ++i;
    if (i < title.size()) {
        if (DigitValue(title[i]) >= 0) {
            long long value = 0;
            for (; i < title.size() && DigitValue(title[i]) >= 0 && value < 1'000'000'000; ++i)
                value = value * 10 + DigitValue(title[i]);
            return value;
        }
        qsizetype end = i;
        while (end < title.size() && (ChineseDigit(title[end]) >= 0 || ChineseUnit(title[end]) != 0))
            ++end;
        return ChineseNumber(title.sliced(i, std::min<qsizetype>(end - i, 12)));
    }
    // Roman numerals, after a word such as Chapter or Part or alone.
    const QStringView word = title.sliced(std::max<qsizetype>(0, title.lastIndexOf(u' ') + 1));
    long long value = 0;
    for (qsizetype k = 0; k < word.size() && RomanValue(word[k]) != 0; ++k) {
        const int here = RomanValue(word[k]);
        const int next = k + 1 < word.size() ? RomanValue(word[k + 1]) : 0;
        value += here < next ? -here : here;
    }
    return value > 0 ? std::optional<long long>(value) : std::nullopt;
}

RuleSurvey::RuleSurvey(const QList<HeadingRule>& extra) : judged_(ShippedRules() + extra)
{
    builtIn_.tally.name = QString::fromUtf16(kBuiltInRuleName);
    for (const HeadingRule& rule : judged_) {
        rules_.push_back({Tally{rule.name}, {}, 0});
        for (QChar c : rule.leads)
            leads_.set(c.unicode());
        anyLead_ |= rule.leads.isEmpty();
    }
}

void RuleSurvey::Count(Watch& watch, QStringView line, qsizetype position)
{
    Tally& tally = watch.tally;
    if (!watch.positions.empty() && position - watch.positions.back() < kEmptyChapter)
        ++tally.empty;
    watch.positions.push_back(position);
    ++tally.headings;
    if (const std::optional<long long> number = HeadingNumber(line)) {
        if (*number == watch.lastNumber + 1 || *number == 1)
            ++tally.inOrder;
        watch.lastNumber = *number;
    }
}

void RuleSurvey::Take(QStringView line, bool builtInHeading, qsizetype position)
{
    if (builtInHeading)
        Count(builtIn_, line, position);
    const QStringView title = TrimAllSpaces(line);
    if (title.isEmpty() || title.size() >= kRuleLineLimit || !(anyLead_ || leads_.test(title.front().unicode())))
        return;
    for (size_t r = 0; r < rules_.size(); ++r) {
        const HeadingRule& rule = judged_[static_cast<qsizetype>(r)];
        const QStringView leads = rule.leads;
        const bool leadFits = leads.isEmpty() || std::find(leads.begin(), leads.end(), title.front()) != leads.end();
        if (leadFits && rule.Takes(title))
            Count(rules_[r], title, position);
    }
}

void RuleSurvey::Finish(qsizetype length)
{
    const auto finish = [length](Watch& watch) {
        if (!watch.positions.empty() && length - watch.positions.back() < kEmptyChapter)
            ++watch.tally.empty;
    };
    length_ = length;
    finish(builtIn_);
    std::for_each(rules_.begin(), rules_.end(), finish);
}

QList<RuleSurvey::Tally> RuleSurvey::Tallies() const
{
    QList<Tally> tallies{builtIn_.tally};
    for (const Watch& watch : rules_)
        tallies.append(watch.tally);
    tallies.append({PartsRule().name, PartsEstimate()});
    return tallies;
}

std::optional<QString> RuleSurvey::Better() const
{
    const QList<HeadingRule>& rules = judged_;
    const HeadingRule* named = nullptr;
    int namedHeadings = 0;
    const Watch* best = nullptr;
    for (size_t r = 0; r < rules_.size(); ++r) {
        const HeadingRule& rule = rules[static_cast<qsizetype>(r)];
        if (rule.namedSections) {
            named = &rule;
            namedHeadings = rules_[r].tally.headings;
            continue;
        }
        if (!best || rules_[r].tally.Score() > best->tally.Score())
            best = &rules_[r];
    }
    const Tally& builtIn = builtIn_.tally;
    if (!best || best->tally.headings < 2) {
        // No heading anywhere: the book can still be read in parts.
        if (builtIn.headings == 0 && length_ > kPartLimit)
            return PartsRule().name;
        return std::nullopt;
    }
    const bool clearlyMore = best->tally.Score() > builtIn.Score() + std::max(2, builtIn.Score() / 20);
    if (!clearlyMore && builtIn.headings > 0)
        return std::nullopt;
    if (named && namedHeadings > 0)
        return best->tally.name + QString::fromUtf16(kWithNamedSuffix);
    return best->tally.name;
}

int RuleSurvey::ChaptersOf(QStringView name) const
{
    if (name == PartsRule().name)
        return PartsEstimate();
    const QStringView suffix(kWithNamedSuffix);
    const bool withNamed = name.endsWith(suffix);
    const QStringView base = withNamed ? name.chopped(suffix.size()) : name;
    const QList<HeadingRule>& rules = judged_;
    int headings = 0;
    bool headingFirst = false;
    for (size_t r = 0; r < rules_.size(); ++r) {
        const HeadingRule& rule = rules[static_cast<qsizetype>(r)];
        if (rule.name == base || (withNamed && rule.namedSections)) {
            headings += rules_[r].tally.headings;
            headingFirst |= !rules_[r].positions.empty() && rules_[r].positions.front() == 0;
        }
    }
    return headings + (headingFirst ? 0 : 1);
}

int RuleSurvey::PartsEstimate() const
{
    // About that many: parts end at line ends.
    const auto chapters = [](qsizetype length) {
        return length <= kPartLimit ? qsizetype{1} : (length + kPartLength - 1) / kPartLength;
    };
    const std::vector<qsizetype>& starts = builtIn_.positions;
    const qsizetype before = starts.empty() ? length_ : starts.front();
    qsizetype count = before > 0 ? chapters(before) : 0;
    for (size_t k = 0; k < starts.size(); ++k)
        count += chapters((k + 1 < starts.size() ? starts[k + 1] : length_) - starts[k]);
    return static_cast<int>(std::min<qsizetype>(count, 32768));
}

std::optional<HeadingRule> FindSurveyedRule(QStringView name)
{
    if (const HeadingRule* shipped = FindShippedRule(name))
        return *shipped;
    const QStringView suffix(kWithNamedSuffix);
    if (name.endsWith(suffix)) {
        if (const HeadingRule* shipped = FindShippedRule(name.chopped(suffix.size())))
            return WithNamedSections(*shipped);
    }
    return std::nullopt;
}
