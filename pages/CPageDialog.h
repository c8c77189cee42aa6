#pragma once

#include <QWidget>
#include <memory>

namespace tavoren::res {
class BuiltDialog;
}

// What every page has in common: built from its dialog template as a hidden child of the
// main window, placed over the tab control's display area, controls found by id.
class CPageDialog : public QWidget {
    Q_OBJECT
public:
    CPageDialog(int templateId, QWidget* parent);
    ~CPageDialog() override;

    QWidget* Control(int id) const;
    template <class T>
    T* ControlAs(int id) const {
        return qobject_cast<T*>(Control(id));
    }

    // Showing or hiding the page (a change of its own visibility) counts as a change of its
    // window position, as do moves and resizes while it is visible.
    void setVisible(bool visible) override;

protected:
    // Called after every change of the page window's position, size or visibility.
    virtual void OnWindowPosChanged() {}
    // Escape on the page or one of its controls; the key never reaches the main window.
    virtual void OnCancelCommand() {}
    // Enter on the page or one of its controls; by default it does nothing.
    virtual void OnEnterKey() {}

    // Once the page has set its texts: controls whose text needs more room widen to the right.
    void WidenControlsToFitTexts();

    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::unique_ptr<tavoren::res::BuiltDialog> m_built;
};
