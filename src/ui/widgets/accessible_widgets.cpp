#include "ui/widgets/accessible_widgets.h"

#include "ui/widgets/clickable_label.h"
#include "ui/widgets/picture_box.h"
#include "ui/widgets/reading_pane_accessible.h"

#include <QAccessibleWidget>

namespace {

// A picture that acts on a click is a button to a screen reader, and
// "press" clicks it. Its caption in front stays a plain label, so the
// button is listed once.
class ClickableLabelAccessible : public QAccessibleWidget {
public:
    explicit ClickableLabelAccessible(ClickableLabel* label) : QAccessibleWidget(label, QAccessible::Button) {}
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& actionName) override
    {
        if (actionName == pressAction() && widget()->isEnabled())
            emit static_cast<ClickableLabel*>(widget())->Clicked();
    }
};

QAccessibleInterface* Factory(const QString& className, QObject* object)
{
    if (className == QLatin1String("ReadingPane"))
        return MakeReadingPaneAccessible(object);
    if (className == QLatin1String("ClickableLabel") && !qobject_cast<VerticalCaption*>(object))
        return new ClickableLabelAccessible(static_cast<ClickableLabel*>(object));
    // The title panel draws its texts: its accessible name carries them.
    if (className == QLatin1String("PictureBox"))
        return new QAccessibleWidget(static_cast<PictureBox*>(object), QAccessible::StaticText);
    return nullptr;
}

}  // namespace

void InstallAccessibleWidgets()
{
    static const bool installed = [] {
        QAccessible::installFactory(Factory);
        return true;
    }();
    Q_UNUSED(installed);
}
