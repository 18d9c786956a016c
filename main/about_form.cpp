#include "main/about_form.h"

#include "common/program_version.h"
#include "ui_about_form.h"

namespace main_window {

TformAbout::TformAbout(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint),
      ui(std::make_unique<Ui::TformAbout>()) {
    ui->setupUi(this);
    ui->Label1->setText(ui->Label1->text().arg(QLatin1String(common::kProgramVersion)));
    setFixedSize(size());
}

TformAbout::~TformAbout() = default;

TformAbout* OpenAboutBox(QWidget& owner) {
    auto* about = new TformAbout(&owner);
    about->move(owner.geometry().center() - about->rect().center());
    about->show();
    return about;
}

}  // namespace main_window
