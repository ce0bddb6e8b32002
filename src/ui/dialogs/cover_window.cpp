#include "ui/dialogs/cover_window.h"

#include "core/books/reader_state.h"
#include "core/skins/skin_values.h"
#include "ui/platform/colour.h"
#include "ui/platform/twips.h"
#include "ui/widgets/background.h"
#include "ui/widgets/picture_box.h"

#include <QLabel>

#include <algorithm>

namespace {

const QColor kCoverBack = Rgb(21, 95, 120);

}  // namespace

CoverWindow::CoverWindow(const ReaderState& state, QWidget* parent) : QWidget(parent, Qt::Window), state_(state)
{
    setObjectName(QStringLiteral("coverWindow"));
    setWindowTitle(QStringLiteral("封面"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAutoFillBackground(true);
    resize(TwipsToPixels(10050), TwipsToPixels(9540));

    coverPicture = new PictureBox(this);
    coverPicture->setObjectName(QStringLiteral("coverPicture"));
    coverPicture->setGeometry(TwipsRect(0, 0, 5535, 5175));
    picture_ = QImage(QStringLiteral(":/cover.png"));
    coverPicture->SetPicture(picture_);

    tipsPanel = new PictureBox(this);
    tipsPanel->setObjectName(QStringLiteral("tipsPanel"));
    tipsPanel->setGeometry(TwipsRect(0, 6120, 7575, 1455));
    tipsRule = new QWidget(tipsPanel);
    tipsRule->setObjectName(QStringLiteral("tipsRule"));
    tipsRule->setAutoFillBackground(true);
    tipsRule->setGeometry(TwipsRect(240, 480, 7095, 15));

    aboutFrame = new QWidget(this);
    aboutFrame->setObjectName(QStringLiteral("aboutFrame"));
    aboutFrame->setAutoFillBackground(true);
    aboutFrame->setGeometry(TwipsRect(0, 7800, 5655, 1575));
    const QString about[] = {QStringLiteral("NandeoTxt 文件阅读器"), QStringLiteral("按章节阅读 GBK 与 UTF-8 文本小说"),
                             QStringLiteral("皮肤、书签与最近文件均保存在程序目录")};
    for (int k = 0; k < 3; ++k) {
        aboutLines[k] = new QLabel(about[k], aboutFrame);
        aboutLines[k]->setObjectName(QStringLiteral("aboutLines"));
        aboutLines[k]->setProperty("index", k);
        aboutLines[k]->setGeometry(TwipsRect(240, 240 + k * 420, 5200, 360));
        QPalette palette = aboutLines[k]->palette();
        palette.setColor(QPalette::WindowText, Qt::white);
        aboutLines[k]->setPalette(palette);
    }
    SetBackColor(kCoverBack);
    CentrePanels();
    DrawCoverTitle();
    DrawTips();
    setWindowState(Qt::WindowMaximized);
}

void CoverWindow::SetBackColor(const QColor& colour)
{
    SetBackground(this, colour);
}

QColor CoverWindow::BackColor() const
{
    return Background(this);
}

void CoverWindow::SetPicture(const QImage& picture)
{
    picture_ = picture;
    coverPicture->SetPicture(picture_);
    if (isVisible())
        DrawCoverTitle();
}

QString CoverWindow::CurrentTitle() const
{
    return state_.Books.IsBook(state_.CurrentBook) ? state_.Current().FileName : QString();
}

void CoverWindow::FollowCurrentBook()
{
    if (isVisible() && CurrentTitle() != shownBook_)
        DrawCoverTitle();
}

void CoverWindow::showEvent(QShowEvent* event)
{
    DrawCoverTitle();
    QWidget::showEvent(event);
}

QString CoverWindow::FitTitle(const QString& title)
{
    // The shadow lies 30 twips to the right of the title.
    const double room = coverPicture->ScaleWidth() - 30;
    titleFont_.setPointSizeF(kTitlePoints);
    coverPicture->SetFont(titleFont_);
    QString fitted = coverPicture->Fitted(title, room, kSmallestTitlePoints);
    titleFont_ = coverPicture->Font();
    return fitted;
}

// The book's file name, extension included, over a grey shadow 30 twips
// right and 30 down, in the skin's cover colour.
void CoverWindow::DrawCoverTitle()
{
    coverPicture->SetPicture(picture_);  // wipes the title drawn before
    titleFont_ = QFont(QStringLiteral("隶书"));
    shownBook_ = CurrentTitle();
    const QString title = FitTitle(shownBook_);
    drawnTitle_ = title;
    coverPicture->CurrentY = 1130;
    coverPicture->SetForeColor(Rgb(162, 153, 153));
    coverPicture->CurrentX = (coverPicture->ScaleWidth() - coverPicture->TextWidth(title)) / 2 + 30;
    coverPicture->Print(title);
    const QString fore = state_.Skin(QStringLiteral("FForecolor"));
    if (fore.isEmpty()) {
        coverPicture->SetForeColor(Rgb(46, 132, 49));
    } else if (const auto value = ParseSkinColour(fore)) {
        coverPicture->SetForeColor(ColourFromValue(*value));
    }
    coverPicture->CurrentY = 1100;
    coverPicture->CurrentX = (coverPicture->ScaleWidth() - coverPicture->TextWidth(title)) / 2;
    coverPicture->Print(title);
}

// The panel of tips: a heading, a rule, three lines.
void CoverWindow::DrawTips()
{
    tipsPanel->SetBackColor(Rgb(192, 240, 249));
    QFont heading(QStringLiteral("黑体"));
    heading.setPointSizeF(14);
    heading.setBold(true);
    tipsPanel->SetFont(heading);
    tipsPanel->SetForeColor(Rgb(5, 85, 100));
    tipsPanel->CurrentX = 240;
    tipsPanel->CurrentY = 120;
    tipsPanel->Print(QStringLiteral("阅读小贴士"));
    QFont body(QStringLiteral("宋体"));
    body.setPointSizeF(10.5);
    tipsPanel->SetFont(body);
    tipsPanel->SetForeColor(Qt::black);
    const QString tips[] = {QStringLiteral("Page Up / Page Down 翻章，Home 回到目录。"),
                            QStringLiteral("“打开文件夹”可一次打开一个文件夹里的所有 txt 电子书。"),
                            QStringLiteral("“皮肤”菜单可换皮肤，也可以自己做一套。")};
    tipsPanel->CurrentY = 600;
    for (const QString& tip : tips) {
        tipsPanel->SetFont(body);
        tipsPanel->CurrentX = 240;
        tipsPanel->Print(tipsPanel->Fitted(tip, tipsPanel->ScaleWidth() - 2 * 240, 8));
    }
    SetBackground(tipsRule, Rgb(5, 85, 100));
    SetBackground(aboutFrame, kCoverBack);
}

void CoverWindow::CentrePanels()
{
    // Centred on the window's width (the window fills the screen).
    for (QWidget* panel : {static_cast<QWidget*>(coverPicture), static_cast<QWidget*>(tipsPanel), aboutFrame})
        panel->move((width() - panel->width()) / 2, panel->y());
}

void CoverWindow::resizeEvent(QResizeEvent*)
{
    CentrePanels();
}
