#pragma once

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "res/DialogTemplate.h"

class QAbstractButton;
class QButtonGroup;

// Lays out Qt widgets from a dialog template.
namespace tavoren::res {

// Dialog base units of a font: one horizontal dialog unit is a quarter of averageCharWidth,
// one vertical unit an eighth of charHeight; every conversion rounds like MulDiv.
struct DialogMetrics {
    int averageCharWidth = 0;  // width of the 52 Latin letters / 52, rounded
    int charHeight = 0;        // QFontMetrics::height()

    QPoint ToPixels(QPoint dialogUnits) const;
    QSize ToPixels(QSize dialogUnits) const;
    QRect ToPixels(QRect dialogUnits) const;  // position and size converted separately
};

DialogMetrics MetricsOf(const QFont& font);

// The font a template asks for: the named face when the system has it, otherwise (and always
// for a shell font) the system's user-interface font at the template's point size.
QFont ResolveFont(const DialogFont& font);

// What a build produced. The widgets belong to the root; this must not outlive it.
class BuiltDialog {
public:
    QWidget* Root() const { return m_root; }
    const DialogTemplate& Template() const { return *m_template; }

    // The control with template id `id`, or nullptr (always for -1).
    QWidget* Control(int id) const;
    template <class T>
    T* ControlAs(int id) const {
        return qobject_cast<T*>(Control(id));
    }
    // Every control, in template order.
    const std::vector<QWidget*>& Controls() const { return m_ordered; }

    // The exclusive group that radio button `firstRadioId` starts, or nullptr.
    QButtonGroup* RadioGroup(int firstRadioId) const;

    const QFont& Font() const { return m_font; }
    const DialogMetrics& Metrics() const { return m_metrics; }
    QPoint ToPixels(QPoint dialogUnits) const { return m_metrics.ToPixels(dialogUnits); }
    QSize ToPixels(QSize dialogUnits) const { return m_metrics.ToPixels(dialogUnits); }
    QRect ToPixels(QRect dialogUnits) const { return m_metrics.ToPixels(dialogUnits); }

private:
    friend std::unique_ptr<BuiltDialog> BuildDialog(const DialogTemplate&, QWidget*);

    QWidget* m_root = nullptr;
    const DialogTemplate* m_template = nullptr;
    QFont m_font;
    DialogMetrics m_metrics;
    std::vector<QWidget*> m_ordered;
    std::map<int, QWidget*> m_byId;
    std::map<int, QButtonGroup*> m_radioGroups;
};

// Creates the template's controls as children of `root` in template order, which becomes the
// tab order (only tab-stop controls are reached with Tab). The root gets the template font, a
// fixed size of the template's client size and, for popups, the template's title; its position
// (DialogTemplate::origin) and visibility stay with the caller.
//
// Widgets by kind: Label QLabel (plain text, top-left aligned, word-wrapped only when its height
// holds several lines), GroupBox QGroupBox (its frame through its title, a sibling lowered below
// the controls), PushButton and DefaultPushButton QPushButton, AutoCheckBox QCheckBox,
// AutoRadioButton QRadioButton in one exclusive QButtonGroup per radio group, DropDownList
// QComboBox (closed height, sorted insertion with kSorted), TrackBar horizontal QSlider without
// ticks, TabControl QTabWidget, Icon QLabel with the application icon at its natural 32 x 32
// pixels, Custom the registered factory's widget or a plain QWidget. Controls with an id get the
// objectName "ctl<id>". Styles without a Qt counterpart here (transparent, owner-drawn and
// multi-line tabs, the thumb pointing both ways) stay in the template for the code that needs them.
std::unique_ptr<BuiltDialog> BuildDialog(const DialogTemplate& dialogTemplate, QWidget* root);
// The variant of template `templateId` for UiLanguage().
std::unique_ptr<BuiltDialog> BuildDialog(int templateId, QWidget* root);

// Texts that need more room than the template gave them (another font, another language) widen
// their controls to the right, as far as the next control on the same row or the margin their
// group box or the dialog leaves on the left allows. Call once the texts are set.
void WidenControlsToFitTexts(const BuiltDialog& built);

// Factory for the custom controls of window class `className`; replaces an earlier one.
void RegisterCustomControl(const char* className, std::function<QWidget*(QWidget* parent)> factory);

// setChecked that can also uncheck the checked button of an exclusive group, leaving the group
// with no button checked. Emits toggled() like setChecked, never clicked().
void SetButtonChecked(QAbstractButton* button, bool checked);

}  // namespace tavoren::res
