#include "core/reading/reading_progress.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

double ShareRead(const Book& book, const ReadingPlace& place)
{
    qsizetype before = 0;
    qsizetype total = 0;
    for (int i = 0; i <= book.LastChapter(); ++i) {
        const qsizetype size = book.ChapterTexts[static_cast<size_t>(i)].size();
        if (i < place.chapter)
            before += size;
        else if (i == place.chapter)
            before += std::clamp<qsizetype>(place.offset, 0, size);
        total += size;
    }
    return total == 0 ? 0 : static_cast<double>(before) / static_cast<double>(total);
}

void ReadingPace::Note(const ReadingPlace& place, double seconds)
{
    // A screen read takes seconds to minutes; moves outside that are jumps
    // or pauses, not reading.
    constexpr double kShortest = 2, kLongest = 600;
    constexpr qsizetype kMostAtOnce = 4000;
    if (last_ && last_->chapter == place.chapter && place.offset > last_->offset) {
        const double elapsed = seconds - lastSeconds_;
        const qsizetype read = place.offset - last_->offset;
        if (elapsed >= kShortest && elapsed <= kLongest && read <= kMostAtOnce) {
            const double pace = static_cast<double>(read) / (elapsed / 60);
            perMinute_ = std::clamp(0.7 * perMinute_ + 0.3 * pace, 50.0, 5000.0);
        }
    }
    last_ = place;
    lastSeconds_ = seconds;
}

QString ProgressText(const Book& book, const ReadingPlace& place, const ReadingPace& pace)
{
    if (place.chapter < 0 || place.chapter > book.LastChapter())
        return QStringLiteral("目录");
    const QLocale chinese(QLocale::Chinese, QLocale::China);
    const ChapterEntry& entry = book.Chapters[static_cast<size_t>(place.chapter)];
    const qsizetype left =
        std::max<qsizetype>(0, book.ChapterTexts[static_cast<size_t>(place.chapter)].size() - place.offset);
    const auto minutes = static_cast<long long>(std::ceil(pace.MinutesFor(left)));
    const QString title = entry.Shown().isEmpty() ? QStringLiteral("第 %1 章").arg(place.chapter) : entry.Shown();
    return QStringLiteral("%1 · 全书 %2% · 本章约剩 %3 分钟")
        .arg(title, chinese.toString(ShareRead(book, place) * 100, 'f', 1), chinese.toString(minutes));
}
