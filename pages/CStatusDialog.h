#pragma once

#include <QBrush>

#include "pages/CPageDialog.h"

class CErrorIndicator;

// The Status page: a fixed display of the read-error feature's indicator and counters. It never
// talks to the drive; its "Clear" button and Escape do nothing.
class CStatusDialog : public CPageDialog {
    Q_OBJECT
public:
    explicit CStatusDialog(QWidget* parent);

    QBrush m_windowBrush;
    CErrorIndicator* m_indicator = nullptr;
};
