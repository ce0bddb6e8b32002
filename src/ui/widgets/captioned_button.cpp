#include "ui/widgets/captioned_button.h"

#include "ui/widgets/accessible_widgets.h"
#include "ui/widgets/clickable_label.h"

#include <QPixmap>

namespace {

const QString kCaptionFont = QStringLiteral("黑体");

}  // namespace

CaptionedButton::CaptionedButton(QWidget* parent, const QString& name, const QString& caption)
    : QObject(parent)
    , picture_(new ClickableLabel(parent))
    , caption_(new VerticalCaption(caption, parent))
{
    setObjectName(name);
    picture_->setObjectName(name + QStringLiteral("Picture"));
    picture_->setPixmap(QPixmap(QStringLiteral(":/button.png")));
    picture_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    picture_->setScaledContents(true);  // the picture's own size at the design size

    // A caption 375 twips wide: it wraps one character a line and reads
    // from top to bottom; what does not fit the height after the first
    // three characters is cut off.
    caption_->setObjectName(name + QStringLiteral("Caption"));
    caption_->setWordWrap(true);
    caption_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    caption_->setAttribute(Qt::WA_TranslucentBackground);
    caption_->setAutoFillBackground(false);
    caption_->setContentsMargins(0, 0, 0, 0);
    QFont font(kCaptionFont);
    font.setPointSizeF(15);
    font.setWeight(QFont::Normal);
    caption_->setFont(font);

    InstallAccessibleWidgets();
    connect(picture_, &ClickableLabel::Clicked, this, &CaptionedButton::Clicked);
    connect(caption_, &ClickableLabel::Clicked, this, &CaptionedButton::Clicked);
}

void CaptionedButton::Place(const QRect& picture, const QRect& caption)
{
    picture_->setGeometry(picture);
    caption_->setGeometry(caption);
}

void CaptionedButton::SetVisible(bool visible)
{
    picture_->setVisible(visible);
    caption_->setVisible(visible);
}

void CaptionedButton::SetAccessibleText(const QString& name, const QString& description)
{
    picture_->setAccessibleName(name);
    picture_->setAccessibleDescription(description);
}
