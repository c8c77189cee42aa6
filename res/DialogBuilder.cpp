#include "res/DialogBuilder.h"

#include <algorithm>
#include <optional>

#include <qdrawutil.h>

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStandardItemModel>
#include <QStyle>
#include <QTabWidget>
#include <string>
#include <utility>

#include "res/ApplicationIcon.h"

namespace tavoren::res {
namespace {

// Windows MulDiv for a positive divisor: the exact quotient rounded half away from zero.
int MulDiv(int number, int multiplier, int divisor) {
    const long long product = static_cast<long long>(number) * multiplier;
    const long long half = divisor / 2;
    return static_cast<int>(product >= 0 ? (product + half) / divisor : (product - half) / divisor);
}

// The icon control sizes itself to the system's large icon.
constexpr int kIconPixels = 32;

// Sort key beside any user data the caller stores in Qt::UserRole.
constexpr int kSortKeyRole = Qt::UserRole + 1000;

std::map<std::string, std::function<QWidget*(QWidget*)>>& CustomControlFactories() {
    static std::map<std::string, std::function<QWidget*(QWidget*)>> factories;
    return factories;
}

// A group box drawn the Windows way, with the frame through the middle of its title: Qt styles
// put the title above the frame, which then runs into the first row of controls.
class ClassicGroupBox : public QGroupBox {
public:
    using QGroupBox::QGroupBox;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QFontMetrics metrics = fontMetrics();
        QRect titleRect;
        if (!title().isEmpty()) {
            const int gap = 2;
            titleRect = QRect(metrics.averageCharWidth(), 0,
                              metrics.horizontalAdvance(title()) + 2 * gap, metrics.height());
        }
        painter.save();
        painter.setClipRegion(QRegion(rect()).subtracted(titleRect));
        qDrawShadeRect(&painter, rect().adjusted(0, metrics.height() / 2, 0, 0), palette(), true);
        painter.restore();
        if (!titleRect.isNull()) {
            style()->drawItemText(&painter, titleRect, Qt::AlignCenter | Qt::TextShowMnemonic,
                                  palette(), isEnabled(), title(), QPalette::WindowText);
        }
    }
};

QString TextOf(const ControlTemplate& control) {
    return control.text == nullptr ? QString() : QString::fromUtf8(control.text);
}

// Keeps a drop-down list's items in case-insensitive order as they are added, as a sorted
// Windows combo box does.
void KeepSorted(QComboBox* combo) {
    auto* model = qobject_cast<QStandardItemModel*>(combo->model());
    model->setSortRole(kSortKeyRole);
    QObject::connect(model, &QAbstractItemModel::rowsInserted, combo,
                     [model](const QModelIndex&, int first, int last) {
                         for (int row = first; row <= last; ++row) {
                             const QModelIndex index = model->index(row, 0);
                             model->setData(index, index.data().toString().toCaseFolded(),
                                            kSortKeyRole);
                         }
                         model->sort(0);
                     });
}

QWidget* CreateCustomControl(const ControlTemplate& control, QWidget* root) {
    const auto& factories = CustomControlFactories();
    if (control.className != nullptr) {
        if (auto it = factories.find(control.className); it != factories.end()) {
            if (QWidget* widget = it->second(root)) {
                return widget;
            }
        }
    }
    return new QWidget(root);
}

QWidget* CreateControl(const ControlTemplate& control, QWidget* root) {
    switch (control.kind) {
        case ControlKind::Label: {
            auto* label = new QLabel(TextOf(control), root);
            label->setTextFormat(Qt::PlainText);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            return label;
        }
        case ControlKind::GroupBox:
            return new ClassicGroupBox(TextOf(control), root);
        case ControlKind::PushButton:
            return new QPushButton(TextOf(control), root);
        case ControlKind::DefaultPushButton: {
            auto* button = new QPushButton(TextOf(control), root);
            button->setDefault(true);
            return button;
        }
        case ControlKind::AutoCheckBox:
            return new QCheckBox(TextOf(control), root);
        case ControlKind::AutoRadioButton:
            return new QRadioButton(TextOf(control), root);
        case ControlKind::DropDownList: {
            auto* combo = new QComboBox(root);
            if (control.Has(control_style::kSorted)) {
                KeepSorted(combo);
            }
            return combo;
        }
        case ControlKind::TrackBar: {
            auto* slider = new QSlider(Qt::Horizontal, root);
            slider->setTickPosition(QSlider::NoTicks);
            return slider;
        }
        case ControlKind::TabControl:
            return new QTabWidget(root);
        case ControlKind::Icon: {
            auto* icon = new QLabel(root);
            icon->setPixmap(ApplicationIcon().pixmap(kIconPixels, kIconPixels));
            return icon;
        }
        case ControlKind::Custom:
            return CreateCustomControl(control, root);
    }
    return new QWidget(root);
}

bool TakesFocus(ControlKind kind) {
    switch (kind) {
        case ControlKind::Label:
        case ControlKind::GroupBox:
        case ControlKind::Icon:
            return false;
        default:
            return true;
    }
}

QRect PixelGeometry(const ControlTemplate& control, QWidget* widget, const DialogMetrics& metrics) {
    const QRect rect = metrics.ToPixels(control.rect);
    switch (control.kind) {
        case ControlKind::DropDownList:
            // The template height includes the dropped list; the closed box keeps its own.
            return {rect.topLeft(), QSize(rect.width(), widget->sizeHint().height())};
        case ControlKind::Icon:
            return {rect.topLeft(), QSize(kIconPixels, kIconPixels)};
        default:
            return rect;
    }
}

void ApplyStyle(const ControlTemplate& control, QWidget* widget, const DialogMetrics& metrics) {
    if (control.id != -1) {
        widget->setObjectName(QStringLiteral("ctl%1").arg(control.id));
    }
    widget->setGeometry(PixelGeometry(control, widget, metrics));
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setWordWrap(widget->height() >= 2 * label->fontMetrics().lineSpacing());
    }
    if (control.Has(control_style::kTabStop)) {
        widget->setFocusPolicy(Qt::StrongFocus);
    } else if (TakesFocus(control.kind)) {
        widget->setFocusPolicy(Qt::ClickFocus);
    } else {
        widget->setFocusPolicy(Qt::NoFocus);
    }
    widget->setEnabled(!control.Has(control_style::kDisabled));
    widget->setVisible(!control.Has(control_style::kHidden));
}

}  // namespace

QPoint DialogMetrics::ToPixels(QPoint dialogUnits) const {
    return {MulDiv(dialogUnits.x(), averageCharWidth, 4), MulDiv(dialogUnits.y(), charHeight, 8)};
}

QSize DialogMetrics::ToPixels(QSize dialogUnits) const {
    return {MulDiv(dialogUnits.width(), averageCharWidth, 4),
            MulDiv(dialogUnits.height(), charHeight, 8)};
}

QRect DialogMetrics::ToPixels(QRect dialogUnits) const {
    return {ToPixels(dialogUnits.topLeft()), ToPixels(dialogUnits.size())};
}

DialogMetrics MetricsOf(const QFont& font) {
    const QFontMetrics metrics(font);
    const int alphabetWidth = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return {MulDiv(alphabetWidth, 1, 52), metrics.height()};
}

QFont ResolveFont(const DialogFont& font) {
    const QString face = QString::fromUtf8(font.face);
    QFont resolved =
        !font.shellFont && QFontDatabase::families().contains(face, Qt::CaseInsensitive)
            ? QFont(face)
            : QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    resolved.setPointSize(font.pointSize);
    if (font.weight != 0) {
        resolved.setWeight(static_cast<QFont::Weight>(font.weight));
    }
    return resolved;
}

QWidget* BuiltDialog::Control(int id) const {
    const auto it = m_byId.find(id);
    return it == m_byId.end() ? nullptr : it->second;
}

QButtonGroup* BuiltDialog::RadioGroup(int firstRadioId) const {
    const auto it = m_radioGroups.find(firstRadioId);
    return it == m_radioGroups.end() ? nullptr : it->second;
}

std::unique_ptr<BuiltDialog> BuildDialog(const DialogTemplate& dialogTemplate, QWidget* root) {
    auto built = std::make_unique<BuiltDialog>();
    built->m_root = root;
    built->m_template = &dialogTemplate;
    built->m_font = ResolveFont(dialogTemplate.font);
    built->m_metrics = MetricsOf(built->m_font);

    root->setFont(built->m_font);
    root->setFixedSize(built->ToPixels(dialogTemplate.size));
    if (dialogTemplate.Has(dialog_style::kPopup) && dialogTemplate.title != nullptr) {
        root->setWindowTitle(QString::fromUtf8(dialogTemplate.title));
    }

    std::vector<QWidget*> groupBoxes;
    QButtonGroup* radioGroup = nullptr;
    for (const ControlTemplate& control : dialogTemplate.controls) {
        QWidget* widget = CreateControl(control, root);
        ApplyStyle(control, widget, built->m_metrics);
        built->m_ordered.push_back(widget);
        if (control.id != -1) {
            built->m_byId.emplace(control.id, widget);
        }
        if (control.kind == ControlKind::GroupBox) {
            groupBoxes.push_back(widget);
        }
        if (control.Has(control_style::kGroup)) {
            radioGroup = nullptr;
        }
        if (control.kind == ControlKind::AutoRadioButton) {
            if (radioGroup == nullptr) {
                radioGroup = new QButtonGroup(root);
                built->m_radioGroups.emplace(control.id, radioGroup);
            }
            radioGroup->addButton(static_cast<QRadioButton*>(widget));
        }
    }
    // Outer frames come first in the templates, so lowering from the back keeps them lowest.
    for (auto it = groupBoxes.rbegin(); it != groupBoxes.rend(); ++it) {
        (*it)->lower();
    }
    QWidget* previous = nullptr;
    for (QWidget* widget : built->m_ordered) {
        if (widget->focusPolicy() == Qt::NoFocus) {
            continue;
        }
        if (previous != nullptr) {
            QWidget::setTabOrder(previous, widget);
        }
        previous = widget;
    }
    return built;
}

std::unique_ptr<BuiltDialog> BuildDialog(int templateId, QWidget* root) {
    return BuildDialog(FindTemplate(templateId, UiLanguage()), root);
}

namespace {

constexpr int kDialogMarginUnits = 7;
constexpr int kNeighbourGapUnits = 2;

bool CarriesText(ControlKind kind) {
    switch (kind) {
        case ControlKind::Label:
        case ControlKind::PushButton:
        case ControlKind::DefaultPushButton:
        case ControlKind::AutoCheckBox:
        case ControlKind::AutoRadioButton:
            return true;
        default:
            return false;
    }
}

// How far right `control` may reach: the dialog's margin, the margin of the innermost group box
// around it mirrored on the right, and the left edge of the next control on its row.
int RightLimit(const BuiltDialog& built, std::size_t index) {
    const std::vector<QWidget*>& controls = built.Controls();
    const std::span<const ControlTemplate> templates = built.Template().controls;
    const QRect own = controls[index]->geometry();
    int limit = built.Root()->width() - built.ToPixels(QPoint(kDialogMarginUnits, 0)).x();
    std::optional<QRect> group;
    for (std::size_t other = 0; other < controls.size(); ++other) {
        if (other == index) continue;
        const QRect rect = controls[other]->geometry();
        if (templates[other].kind == ControlKind::GroupBox) {
            if (rect.contains(own.topLeft()) && (!group || group->contains(rect))) group = rect;
            continue;
        }
        const bool sameRow = rect.top() <= own.bottom() && rect.bottom() >= own.top();
        if (sameRow && rect.left() > own.right()) {
            limit = std::min(limit,
                             rect.left() - built.ToPixels(QPoint(kNeighbourGapUnits, 0)).x());
        }
    }
    if (group) limit = std::min(limit, group->right() + 1 - (own.left() - group->left()));
    return limit;
}

}  // namespace

void WidenControlsToFitTexts(const BuiltDialog& built) {
    const std::vector<QWidget*>& controls = built.Controls();
    for (std::size_t index = 0; index < controls.size(); ++index) {
        QWidget* control = controls[index];
        if (!CarriesText(built.Template().controls[index].kind)) continue;
        const int wanted = control->sizeHint().width();
        if (wanted <= control->width()) continue;
        const int widest = RightLimit(built, index) - control->x();
        if (widest > control->width()) {
            control->resize(std::min(wanted, widest), control->height());
        }
    }
}

void RegisterCustomControl(const char* className,
                           std::function<QWidget*(QWidget* parent)> factory) {
    CustomControlFactories()[className] = std::move(factory);
}

void SetButtonChecked(QAbstractButton* button, bool checked) {
    if (checked || !button->isChecked()) {
        button->setChecked(checked);
        return;
    }
    // Qt refuses to uncheck the checked button of an exclusive set, so lift the exclusivity.
    if (QButtonGroup* group = button->group(); group != nullptr && group->exclusive()) {
        group->setExclusive(false);
        button->setChecked(false);
        group->setExclusive(true);
    } else if (button->autoExclusive()) {
        button->setAutoExclusive(false);
        button->setChecked(false);
        button->setAutoExclusive(true);
    } else {
        button->setChecked(false);
    }
}

}  // namespace tavoren::res
