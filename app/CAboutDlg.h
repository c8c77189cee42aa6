#pragma once

#include <QDialog>

// The About box: icon, version line, copyright line and OK.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};
