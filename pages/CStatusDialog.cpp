#include "pages/CStatusDialog.h"

#include <QPalette>

#include "pages/CErrorIndicator.h"
#include "res/DialogTemplate.h"

namespace {

constexpr int kIndicator = 1022;

// The indicator's class has to be known before the template is built.
int StatusTemplateWithIndicator() {
    CErrorIndicator::RegisterWindowClass();
    return tavoren::res::kStatusPageTemplate;
}

}  // namespace

CStatusDialog::CStatusDialog(QWidget* parent)
    : CPageDialog(StatusTemplateWithIndicator(), parent),
      // Unlike the other pages this one sits on the window colour, not the button face.
      m_windowBrush(palette().brush(QPalette::Base)),
      m_indicator(ControlAs<CErrorIndicator>(kIndicator)) {
    QPalette windowPalette = palette();
    windowPalette.setBrush(QPalette::Window, m_windowBrush);
    setPalette(windowPalette);
    setAutoFillBackground(true);
    WidenControlsToFitTexts();
}
