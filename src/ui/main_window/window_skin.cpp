// Painting the main window, its title panel and the cover in the current skin.

#include "ui/main_window/window_skin.h"

#include "core/files/plain_file.h"
#include "core/skins/skin_values.h"
#include "ui/main_window/main_window.h"
#include "ui/platform/colour.h"
#include "ui/widgets/clickable_label.h"
#include "ui/widgets/picture_box.h"
#include "ui/widgets/picture_cache.h"
#include "ui/widgets/reading_pane.h"

#include <QDir>
#include <QGraphicsOpacityEffect>
#include <QScrollBar>
#include <QStatusBar>

#include <algorithm>

namespace {

const QString kDefaultTitleFont = QStringLiteral("隶书");
constexpr double kDefaultTitleSize = 36;
constexpr int kDarkPage = 100;            // lightness below which a page counts as dark
constexpr double kLeastTitlePoints = 12;  // a title shrinks no further before it is cut
constexpr double kTitleMargin = 120;      // twips kept free at either side of the panel's texts

// A colour setting, when it holds a usable one.
std::optional<QColor> SkinColour(const QString& text)
{
    const std::optional<std::int32_t> value = ParseSkinColour(text);
    if (!value || *value < 0 || *value > 0xFFFFFF)
        return std::nullopt;
    return ColourFromValue(*value);
}

// The setting's colour, or `fallback` when the setting is empty; nothing
// when the text is not a colour.
std::optional<QColor> ColourOr(const QString& text, const QColor& fallback)
{
    return text.isEmpty() ? std::optional<QColor>(fallback) : SkinColour(text);
}

// Sets the font's size from a setting (or the default when it is empty);
// text that is not a size leaves the font as it is.
void SetSizeOr(QFont& font, const QString& text, double fallback)
{
    if (text.isEmpty())
        font.setPointSizeF(fallback);
    else if (const auto points = ParsePointSize(text))
        font.setPointSizeF(*points);
}

struct TitleTexts {
    QString bookName;
    QString chapterTitle;
};

TitleTexts Titles(const ReaderState& state)
{
    TitleTexts texts;
    if (!state.Books.IsBook(state.CurrentBook))
        return texts;
    const Book& book = state.Current();
    texts.bookName = QString(book.FileName).remove(QStringLiteral(".txt"));
    if (book.ChapterIndex <= -1)
        texts.chapterTitle = QStringLiteral("目录");
    else if (book.ChapterIndex <= book.LastChapter())
        texts.chapterTitle = book.Chapters[book.ChapterIndex].Shown();
    return texts;
}

void DrawTitlePanel(MainWindow& view, const TitleTexts& texts)
{
    const ReaderState& state = view.State();
    PictureBox& panel = view.TitlePanel();
    auto skin = [&](const char* key) { return state.Skin(QString::fromLatin1(key)); };

    if (const auto back = SkinColour(skin("FontBackColor")))
        panel.SetBackColor(*back);

    const QString mainPicture = skin("MainPicture");
    const QString picturePath = mainPicture.isEmpty() ? view.Folders().DataFile(QStringLiteral("SImage/2.jpg"))
                                                      : ResolveSkinPicture(mainPicture, view.Folders().data);
    if (!picturePath.isEmpty()) {
        const QImage picture = view.Pictures().Load(picturePath);
        if (!picture.isNull())
            panel.SetPicture(picture);
    }

    // The book name, first as a grey shadow 45 twips right and 30 down.
    panel.SetForeColor(Rgb(65, 68, 68));
    panel.CurrentY = 130;
    QFont& font = panel.Font();
    SetSizeOr(font, skin("MainFontSize"), kDefaultTitleSize);
    font.setBold(true);
    const QString titleFont = skin("MainFontName");
    font.setFamily(titleFont.isEmpty() ? kDefaultTitleFont : titleFont);
    const double room = panel.ScaleWidth() - 2 * kTitleMargin;
    const QString bookName = panel.Fitted(texts.bookName, room, kLeastTitlePoints);
    panel.CurrentX = (panel.ScaleWidth() - panel.TextWidth(bookName)) / 2 + 45;
    panel.Print(bookName);
    if (const auto colour = ColourOr(skin("MainFontColor"), Rgb(254, 0, 0)))
        panel.SetForeColor(*colour);
    panel.CurrentY = 100;
    panel.CurrentX = (panel.ScaleWidth() - panel.TextWidth(bookName)) / 2;
    panel.Print(bookName);
    // Print moved down by the name's height: a face taller than the design's
    // pushes the chapter title down rather than under the name's descenders.
    const double nameBottom = panel.CurrentY;

    // The chapter title under it.
    if (const auto colour = ColourOr(skin("MainLFontColor"), Qt::black))
        panel.SetForeColor(*colour);
    SetSizeOr(font, skin("MainLFontSize"), kDefaultTitleSize);
    const QString chapterFont = skin("MainLFontName");
    font.setFamily(chapterFont.isEmpty() ? kDefaultTitleFont : chapterFont);
    const QString chapterTitle = panel.Fitted(texts.chapterTitle, room, kLeastTitlePoints);
    panel.CurrentY = std::max(900.0, std::min(nameBottom, panel.ScaleHeight() - panel.TextHeight()));
    panel.CurrentX = (panel.ScaleWidth() - panel.TextWidth(chapterTitle)) / 2;
    panel.Print(chapterTitle);

    // Screen readers get the titles whole, not as fitted. Qt 6.4 has no
    // announcement event, so a new chapter is announced by renaming the
    // pane after it: a screen reader speaks a name change of the focused
    // text, which the pane is while reading; the same name is no change.
    const QString joined = QStringList{texts.bookName, texts.chapterTitle}.join(u' ').trimmed();
    panel.setAccessibleName(joined);
    view.Pane().setAccessibleName(texts.chapterTitle.isEmpty() ? joined : texts.chapterTitle);
}

// On a dark page the scroll bar and the side buttons go dark with it, the
// captions in the page's text colour; on a light one they keep their own
// look, as they always had.
void FollowPageDarkness(MainWindow& view)
{
    const QPalette page = view.Pane().palette();
    const QColor paper = page.color(QPalette::Base);
    const bool dark = paper.lightness() < kDarkPage;
    QPalette bar;
    if (dark) {
        bar.setColor(QPalette::Window, paper);
        bar.setColor(QPalette::Base, paper);
        bar.setColor(QPalette::Button, paper.lighter(160));
        bar.setColor(QPalette::Light, paper.lighter(200));
        bar.setColor(QPalette::Dark, paper.darker(150));
        bar.setColor(QPalette::Mid, paper.lighter(130));
        bar.setColor(QPalette::ButtonText, page.color(QPalette::Text));
    }
    view.Pane().verticalScrollBar()->setPalette(bar);
    // The status line is part of the page: its paper, its ink a little faded.
    QPalette status;
    status.setColor(QPalette::Window, paper);
    QColor ink = page.color(QPalette::Text);
    ink.setAlphaF(0.7);
    status.setColor(QPalette::WindowText, ink);
    view.statusBar()->setPalette(status);
    view.statusBar()->setAutoFillBackground(true);
    for (ClickableLabel* label : view.findChildren<ClickableLabel*>()) {
        if (label->objectName().endsWith(QStringLiteral("Picture"))) {
            if (!dark) {
                label->setGraphicsEffect(nullptr);
                continue;
            }
            // Dimmed into the dark band, so the page's light ink reads on it.
            auto* dim = new QGraphicsOpacityEffect(label);
            dim->setOpacity(0.3);
            label->setGraphicsEffect(dim);
        } else if (label->objectName().endsWith(QStringLiteral("Caption"))) {
            QPalette caption;
            if (dark)
                caption.setColor(QPalette::WindowText, page.color(QPalette::Text));
            label->setPalette(caption);
        }
    }
}

void ApplyToWindows(MainWindow& view)
{
    const ReaderState& state = view.State();
    auto skin = [&](const char* key) { return state.Skin(QString::fromLatin1(key)); };

    if (const auto colour = SkinColour(skin("Backcolor")))
        view.SetBackColor(*colour);
    if (const auto colour = SkinColour(skin("Backcolor2")))
        view.SetBandColor(*colour);
    if (const auto colour = SkinColour(skin("FbackColor")))
        view.SetCoverBackColor(*colour);
    // The cover picture is looked for under the program folder too, where
    // the skin manager stores pictures in relative form.
    const QString coverPicture = skin("FbackPicture");
    if (!coverPicture.isEmpty()) {
        const QString path = ResolveSkinPicture(coverPicture, view.Folders().data);
        const QImage picture = path.isEmpty() ? QImage() : view.Pictures().Load(path);
        if (!picture.isNull())
            view.SetCoverPicture(picture);
    }

    QFont font = view.Pane().font();
    const QString fontName = skin("FontName");
    if (!view.ShownFontFamily().isEmpty())
        font.setFamily(view.ShownFontFamily());  // the reader's own choice
    else if (!fontName.isEmpty())
        font.setFamily(fontName);
    if (const auto points = ParsePointSize(skin("FontSize")))
        font.setPointSizeF(*points);
    if (font != view.Pane().font())
        view.Pane().setFont(font);
    const auto text = SkinColour(skin("FontForeColer"));
    const auto background = SkinColour(skin("FontBackColor"));
    if (text || background)
        view.SetPaneColors(text ? &*text : nullptr, background ? &*background : nullptr);
    FollowPageDarkness(view);
}

}  // namespace

QString ResolveSkinPicture(const QString& setting, const QString& programFolder)
{
    QString path = QString(setting).replace(u'\\', u'/');
    if (IsListedFile(path))
        return path;
    const QString underProgram = QDir::cleanPath(programFolder + u'/' + path);
    return IsListedFile(underProgram) ? underProgram : QString();
}

void MainWindow::ApplySkin()
{
    DrawTitlePanel(*this, Titles(state_));
    ApplyToWindows(*this);
    CoverFollowsCurrentBook();
}
