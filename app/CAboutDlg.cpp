#include "app/CAboutDlg.h"

#include <QLabel>
#include <QPushButton>

#include "res/DialogBuilder.h"

namespace {
constexpr int kOkButton = 1;
}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    const auto layout = tavoren::res::BuildDialog(tavoren::res::kAboutTemplate, this);
    auto* ok = layout->ControlAs<QPushButton>(kOkButton);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    tavoren::res::WidenControlsToFitTexts(*layout);
}
