#pragma once

#include <QWidget>

// The Status page's error indicator: a face in the button colour, nothing drawn on it.
class CErrorIndicator : public QWidget {
    Q_OBJECT
public:
    static constexpr char kClassName[] = "CErrorIndicator";

    explicit CErrorIndicator(QWidget* parent = nullptr);

    // Makes the page builder create a CErrorIndicator for every custom control of class
    // kClassName. Registers once; later calls return at once.
    static void RegisterWindowClass();

protected:
    void paintEvent(QPaintEvent* event) override;
};
