#include "ui/dialogs/heading_rules_dialog.h"

#include "core/text/heading_rules.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPainter>
#include <QPushButton>
#include <QSplitter>
#include <QStyledItemDelegate>
#include <QTextBrowser>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace {

enum RowRole {
    kExampleRole = Qt::UserRole + 1,
    kHeadingsRole,
    kOwnRole,
    kCurrentRole,
};

const QString kCurrentTag = QStringLiteral("当前");

QString HeadingCountText(int headings)
{
    return headings < 0 ? QStringLiteral("正在统计…") : QStringLiteral("%1 个标题").arg(headings);
}

// 7,437: long counts read more easily grouped.
QString Grouped(qsizetype number)
{
    QLocale c = QLocale::c();
    c.setNumberOptions({});
    return c.toString(number);
}

QString WithSuffix(const QString& name, bool namedSections)
{
    return namedSections ? name + QString::fromUtf16(kWithNamedSuffix) : name;
}

QColor Mixed(const QColor& a, const QColor& b, double share)
{
    return QColor::fromRgbF(a.redF() * share + b.redF() * (1 - share), a.greenF() * share + b.greenF() * (1 - share),
                            a.blueF() * share + b.blueF() * (1 - share));
}

// A problem under a field: red, and only there while there is one.
QLabel* ProblemLabel(const QString& objectName, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(objectName);
    label->setWordWrap(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(0xd0, 0x20, 0x20));
    label->setPalette(palette);
    // Always there, a line high, so the form does not jump as one types.
    label->setMinimumHeight(label->fontMetrics().lineSpacing());
    return label;
}

void ShowProblem(QLabel* label, const QString& problem)
{
    label->setText(problem);
    // A long problem wraps: the window grows to show all of it.
    QWidget* window = label->window();
    const QLayout* layout = window->layout();
    const int needed =
        layout->hasHeightForWidth() ? layout->totalHeightForWidth(window->width()) : layout->totalSizeHint().height();
    if (needed > window->height())
        window->resize(window->width(), needed);
}

// A rule row in two lines: the name (bold for the book's rule) with the
// headings it finds on the right, and its example line in grey below.
class RuleRowDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem item = option;
        initStyleOption(&item, index);
        const QString name = item.text;
        item.text.clear();
        const QStyle* style = item.widget ? item.widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &item, painter, item.widget);

        const bool selected = item.state & QStyle::State_Selected;
        const QPalette::ColorGroup group = !(item.state & QStyle::State_Enabled) ? QPalette::Disabled
            : (item.state & QStyle::State_Active)                                ? QPalette::Active
                                                                                 : QPalette::Inactive;
        const QColor text = item.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text);
        const QColor grey =
            Mixed(text, item.palette.color(group, selected ? QPalette::Highlight : QPalette::Base), 0.6);
        const bool current = index.data(kCurrentRole).toBool();
        const QString count = HeadingCountText(index.data(kHeadingsRole).toInt());

        const QFontMetrics metrics(item.font);
        const int margin = Margin(metrics);
        const QRect area = item.rect.adjusted(margin, margin, -margin, -margin);
        QRect firstLine(area.left(), area.top(), area.width(), metrics.lineSpacing());
        const QRect secondLine = firstLine.translated(0, metrics.lineSpacing());

        painter->save();
        painter->setPen(grey);
        painter->setFont(item.font);
        painter->drawText(firstLine, Qt::AlignRight | Qt::AlignVCenter, count);
        firstLine.setRight(firstLine.right() - metrics.horizontalAdvance(count) - margin * 2);

        QFont nameFont = item.font;
        nameFont.setBold(current);
        const QFontMetrics nameMetrics(nameFont);
        const int tagWidth = current ? metrics.horizontalAdvance(kCurrentTag) + margin : 0;
        const QString shownName = nameMetrics.elidedText(name, Qt::ElideRight, firstLine.width() - tagWidth);
        painter->setFont(nameFont);
        painter->setPen(text);
        painter->drawText(firstLine, Qt::AlignLeft | Qt::AlignVCenter, shownName);
        if (current) {
            painter->setFont(item.font);
            painter->setPen(grey);
            painter->drawText(firstLine.adjusted(nameMetrics.horizontalAdvance(shownName) + margin, 0, 0, 0),
                              Qt::AlignLeft | Qt::AlignVCenter, kCurrentTag);
        }
        painter->setPen(grey);
        painter->drawText(secondLine, Qt::AlignLeft | Qt::AlignVCenter,
                          metrics.elidedText(index.data(kExampleRole).toString(), Qt::ElideRight, secondLine.width()));
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const QFontMetrics metrics(option.font);
        const int margin = Margin(metrics);
        QFont bold = option.font;
        bold.setBold(true);
        const int first = QFontMetrics(bold).horizontalAdvance(index.data(Qt::DisplayRole).toString())
            + metrics.horizontalAdvance(kCurrentTag) + metrics.horizontalAdvance(HeadingCountText(88888)) + margin * 5;
        const int second = metrics.horizontalAdvance(index.data(kExampleRole).toString()) + margin * 2;
        return {std::max(first, second), metrics.lineSpacing() * 2 + margin * 2};
    }

private:
    static int Margin(const QFontMetrics& metrics) { return std::max(2, metrics.height() / 3); }
};

// What screen readers and tool tips say of a row.
void Describe(QListWidgetItem* row)
{
    const QString name = row->text();
    const QString example = row->data(kExampleRole).toString();
    const QString count = HeadingCountText(row->data(kHeadingsRole).toInt());
    row->setData(
        Qt::AccessibleTextRole,
        QStringList{name + (row->data(kCurrentRole).toBool() ? QStringLiteral("（当前）") : QString()), example, count}
            .join(QStringLiteral("，")));
    row->setToolTip(example.isEmpty() ? name : name + QStringLiteral("\n例：") + example);
}

}  // namespace

HeadingRulesDialog::HeadingRulesDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("headingRulesDialog"));
    setWindowTitle(QStringLiteral("章节规则"));

    auto* rulesLabel = new QLabel(QStringLiteral("规则(&R)"), this);
    ruleList = new QListWidget(this);
    ruleList->setObjectName(QStringLiteral("ruleList"));
    ruleList->setItemDelegate(new RuleRowDelegate(ruleList));
    ruleList->setSelectionMode(QAbstractItemView::SingleSelection);
    ruleList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ruleList->installEventFilter(this);
    rulesLabel->setBuddy(ruleList);

    namedSectionsBox = new QCheckBox(QStringLiteral("同时识别楔子、番外、后记等命名章节"), this);
    namedSectionsBox->setObjectName(QStringLiteral("namedSectionsBox"));

    addRuleButton = new QPushButton(QStringLiteral("添加规则…"), this);
    addRuleButton->setObjectName(QStringLiteral("addRuleButton"));
    deleteRuleButton = new QPushButton(QStringLiteral("删除规则"), this);
    deleteRuleButton->setObjectName(QStringLiteral("deleteRuleButton"));
    deleteRuleButton->setEnabled(false);

    auto* previewLabel = new QLabel(QStringLiteral("预览(&P)"), this);
    previewText = new QTextBrowser(this);
    previewText->setObjectName(QStringLiteral("previewText"));
    previewText->setOpenLinks(false);
    previewText->setTabChangesFocus(true);
    previewLabel->setBuddy(previewText);

    auto* buttons = new QDialogButtonBox(this);
    applyButton = buttons->addButton(QStringLiteral("应用"), QDialogButtonBox::AcceptRole);
    applyButton->setObjectName(QStringLiteral("applyButton"));
    applyButton->setDefault(true);
    applyButton->setEnabled(false);
    closeButton = buttons->addButton(QStringLiteral("关闭"), QDialogButtonBox::RejectRole);
    closeButton->setObjectName(QStringLiteral("closeButton"));

    auto* rulesSide = new QWidget(this);
    auto* rulesLayout = new QVBoxLayout(rulesSide);
    rulesLayout->setContentsMargins(0, 0, 0, 0);
    rulesLayout->addWidget(rulesLabel);
    rulesLayout->addWidget(ruleList, 1);
    rulesLayout->addWidget(namedSectionsBox);
    auto* ruleButtons = new QHBoxLayout;
    ruleButtons->addWidget(addRuleButton);
    ruleButtons->addWidget(deleteRuleButton);
    ruleButtons->addStretch();
    rulesLayout->addLayout(ruleButtons);

    auto* previewSide = new QWidget(this);
    auto* previewLayout = new QVBoxLayout(previewSide);
    previewLayout->setContentsMargins(0, 0, 0, 0);
    previewLayout->addWidget(previewLabel);
    previewLayout->addWidget(previewText, 1);
    // Room for a count and a title even in a narrow window.
    previewSide->setMinimumWidth(fontMetrics().horizontalAdvance(u'标') * 10);

    // A splitter, so a narrow window can give the list or the preview more.
    auto* sides = new QSplitter(Qt::Horizontal, this);
    sides->setChildrenCollapsible(false);
    sides->addWidget(rulesSide);
    sides->addWidget(previewSide);
    sides->setStretchFactor(0, 3);
    sides->setStretchFactor(1, 2);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(sides, 1);
    layout->addWidget(buttons);

    setTabOrder(ruleList, namedSectionsBox);
    setTabOrder(namedSectionsBox, addRuleButton);
    setTabOrder(addRuleButton, deleteRuleButton);
    setTabOrder(deleteRuleButton, previewText);
    setTabOrder(previewText, applyButton);
    setTabOrder(applyButton, closeButton);
    ruleList->setFocus();

    const int em = fontMetrics().horizontalAdvance(u'标');
    resize(em * 48, em * 34);

    connect(ruleList, &QListWidget::itemSelectionChanged, this, &HeadingRulesDialog::OnSelectionChanged);
    connect(ruleList, &QListWidget::itemDoubleClicked, this, &HeadingRulesDialog::Apply);
    connect(namedSectionsBox, &QCheckBox::toggled, this, [this] {
        if (!filling_ && !selected_.isEmpty())
            RequestPreview();
    });
    connect(addRuleButton, &QPushButton::clicked, this, &HeadingRulesDialog::AddRule);
    connect(deleteRuleButton, &QPushButton::clicked, this, &HeadingRulesDialog::RemoveRule);
    connect(buttons, &QDialogButtonBox::accepted, this, &HeadingRulesDialog::Apply);
    connect(buttons, &QDialogButtonBox::rejected, this, &HeadingRulesDialog::reject);
}

void HeadingRulesDialog::SetRules(const QList<RuleRow>& rows, const QString& current)
{
    const auto listed = [&rows](const QString& name) {
        return std::any_of(rows.begin(), rows.end(), [&name](const RuleRow& row) { return row.name == name; });
    };
    const QString suffix = QString::fromUtf16(kWithNamedSuffix);
    const bool combined = !listed(current) && current.endsWith(suffix);
    current_ = combined ? current.chopped(suffix.size()) : current;

    QString keep = current_;
    if (!justAdded_.isEmpty() && listed(justAdded_))
        keep = std::exchange(justAdded_, {});
    else if (listed_ && listed(selected_))
        keep = selected_;

    filling_ = true;
    ruleList->clear();
    for (const RuleRow& row : rows) {
        auto* item = new QListWidgetItem(row.name, ruleList);
        item->setData(kExampleRole, row.example);
        item->setData(kHeadingsRole, row.headings);
        item->setData(kOwnRole, row.own);
        item->setData(kCurrentRole, row.name == current_);
        Describe(item);
    }
    if (!listed_)
        namedSectionsBox->setChecked(combined);
    if (QListWidgetItem* row = FindRow(keep)) {
        ruleList->setCurrentItem(row);
        ruleList->scrollToItem(row);
    }
    filling_ = false;
    listed_ = true;
    OnSelectionChanged();
}

void HeadingRulesDialog::SetHeadingCount(const QString& name, int headings)
{
    if (QListWidgetItem* row = FindRow(name)) {
        row->setData(kHeadingsRole, headings);
        Describe(row);
    }
}

void HeadingRulesDialog::ShowPreview(const RulePreview& preview)
{
    if (selected_.isEmpty() || preview.rule != PreviewName())
        return;
    QString html;
    if (preview.headings == 0) {
        html = QStringLiteral("<p><b>这条规则在本书里找不到标题。</b></p><p>按它分章，全书将只有一章。</p>");
    } else {
        html = QStringLiteral("<p><b>分为 %1 章</b><br>找到 %2 个标题<br>最短 %3 字，最长 %4 字</p>")
                   .arg(Grouped(preview.chapters), Grouped(preview.headings), Grouped(preview.shortest),
                        Grouped(preview.longest));
        if (!preview.firstTitles.isEmpty()) {
            QStringList titles;
            for (const QString& title : preview.firstTitles)
                titles << title.toHtmlEscaped();
            html +=
                QStringLiteral("<p>开头的章节：<br>") + titles.join(QStringLiteral("<br>")) + QStringLiteral("</p>");
        }
    }
    previewText->setHtml(html);
}

QString HeadingRulesDialog::SelectedRule() const
{
    const QListWidgetItem* row = SelectedRow();
    return row ? row->text() : QString();
}

bool HeadingRulesDialog::NamedSections() const
{
    return namedSectionsBox->isChecked();
}

bool HeadingRulesDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ruleList && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete && deleteRuleButton->isEnabled()) {
        RemoveRule();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void HeadingRulesDialog::OnSelectionChanged()
{
    if (filling_)
        return;
    const QListWidgetItem* row = SelectedRow();
    applyButton->setEnabled(row != nullptr);
    deleteRuleButton->setEnabled(row && row->data(kOwnRole).toBool());
    const QString name = row ? row->text() : QString();
    if (name == selected_)
        return;
    selected_ = name;
    if (selected_.isEmpty())
        previewText->clear();
    else
        RequestPreview();
}

void HeadingRulesDialog::RequestPreview()
{
    previewText->setPlainText(QStringLiteral("正在生成预览…"));
    emit PreviewWanted(selected_, namedSectionsBox->isChecked());
}

void HeadingRulesDialog::Apply()
{
    if (selected_.isEmpty())
        return;
    emit ApplyWanted(selected_, namedSectionsBox->isChecked());
    accept();
}

void HeadingRulesDialog::AddRule()
{
    QStringList taken{QString::fromUtf16(kBuiltInRuleName)};
    for (const HeadingRule& rule : ShippedRules())
        taken << rule.name;
    for (int k = 0; k < ruleList->count(); ++k)
        taken << ruleList->item(k)->text();

    // Window-modal but not blocking: the caller's event loop goes on.
    auto* form = new AddRuleDialog(taken, this);
    form->setAttribute(Qt::WA_DeleteOnClose);
    connect(form, &QDialog::accepted, this, [this, form] {
        justAdded_ = form->Name();
        emit UserRuleAdded(form->Name(), form->Pattern(), form->Example());
    });
    form->open();
}

void HeadingRulesDialog::RemoveRule()
{
    const QListWidgetItem* row = SelectedRow();
    if (row && row->data(kOwnRole).toBool())
        emit UserRuleRemoved(row->text());
}

QListWidgetItem* HeadingRulesDialog::FindRow(const QString& name) const
{
    for (int k = 0; k < ruleList->count(); ++k) {
        if (ruleList->item(k)->text() == name)
            return ruleList->item(k);
    }
    return nullptr;
}

QListWidgetItem* HeadingRulesDialog::SelectedRow() const
{
    const QList<QListWidgetItem*> rows = ruleList->selectedItems();
    return rows.isEmpty() ? nullptr : rows.front();
}

QString HeadingRulesDialog::PreviewName() const
{
    return WithSuffix(selected_, namedSectionsBox->isChecked());
}

AddRuleDialog::AddRuleDialog(const QStringList& takenNames, QWidget* parent) : QDialog(parent), takenNames_(takenNames)
{
    setObjectName(QStringLiteral("addRuleDialog"));
    setWindowTitle(QStringLiteral("添加规则"));

    nameEdit = new QLineEdit(this);
    nameEdit->setObjectName(QStringLiteral("ruleNameEdit"));
    nameProblem = ProblemLabel(QStringLiteral("nameProblem"), this);
    // Shown only on 确定, so it may come and go without the form jumping.
    nameProblem->hide();
    patternEdit = new QLineEdit(this);
    patternEdit->setObjectName(QStringLiteral("patternEdit"));
    patternEdit->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    patternEdit->setPlaceholderText(QStringLiteral("例如 ^第[0-9]+话"));
    patternProblem = ProblemLabel(QStringLiteral("patternProblem"), this);
    exampleEdit = new QLineEdit(this);
    exampleEdit->setObjectName(QStringLiteral("exampleEdit"));
    exampleEdit->setPlaceholderText(QStringLiteral("书里的一个标题行，例如 第12话 夜行"));
    exampleVerdict = new QLabel(this);
    exampleVerdict->setObjectName(QStringLiteral("exampleVerdict"));

    // Buttons of our own: no stock icons, like the dialog under the form.
    auto* buttons = new QDialogButtonBox(this);
    okButton = buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    okButton->setObjectName(QStringLiteral("okButton"));
    okButton->setDefault(true);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("cancelButton"));

    auto* form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form->addRow(QStringLiteral("名称(&N)"), nameEdit);
    form->addRow(QString(), nameProblem);
    form->addRow(QStringLiteral("正则表达式(&E)"), patternEdit);
    form->addRow(QString(), patternProblem);
    form->addRow(QStringLiteral("示例行(&X)"), exampleEdit);
    form->addRow(QString(), exampleVerdict);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addStretch();
    layout->addWidget(buttons);

    const int em = fontMetrics().horizontalAdvance(u'标');
    resize(em * 36, sizeHint().height());

    connect(nameEdit, &QLineEdit::textEdited, nameProblem, &QLabel::hide);
    connect(patternEdit, &QLineEdit::textChanged, this, &AddRuleDialog::Check);
    connect(exampleEdit, &QLineEdit::textChanged, this, &AddRuleDialog::Check);
    connect(buttons, &QDialogButtonBox::accepted, this, &AddRuleDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &AddRuleDialog::reject);
    Check();
}

QString AddRuleDialog::Name() const
{
    return nameEdit->text().trimmed();
}

QString AddRuleDialog::Pattern() const
{
    return patternEdit->text();
}

QString AddRuleDialog::Example() const
{
    return exampleEdit->text().trimmed();
}

void AddRuleDialog::accept()
{
    if (!PatternProblem(Pattern()).isEmpty())
        return;
    const QString problem = NameProblem(Name());
    if (!problem.isEmpty()) {
        nameProblem->show();
        ShowProblem(nameProblem, problem);
        nameEdit->setFocus();
        nameEdit->selectAll();
        return;
    }
    QDialog::accept();
}

void AddRuleDialog::Check()
{
    const QString problem = PatternProblem(Pattern());
    // An empty field is not yet a mistake; OK waits for it all the same.
    ShowProblem(patternProblem, Pattern().isEmpty() ? QString() : problem);
    okButton->setEnabled(problem.isEmpty());

    if (!problem.isEmpty() || Example().isEmpty()) {
        exampleVerdict->clear();
        return;
    }
    const bool heading = UserRule(Name(), Pattern(), Example()).Takes(Example());
    exampleVerdict->setText(heading ? QStringLiteral("✓ 是标题") : QStringLiteral("✗ 不是标题"));
}

QString AddRuleDialog::NameProblem(const QString& name) const
{
    if (name.isEmpty())
        return QStringLiteral("请给规则起个名称");
    if (name.contains(u'\t'))
        return QStringLiteral("名称里不能有制表符（Tab）");
    if (name.endsWith(QString::fromUtf16(kWithNamedSuffix)))
        return QStringLiteral("名称不能以“%1”结尾").arg(QString::fromUtf16(kWithNamedSuffix));
    if (takenNames_.contains(name))
        return QStringLiteral("已经有一条名为“%1”的规则").arg(name);
    return {};
}
