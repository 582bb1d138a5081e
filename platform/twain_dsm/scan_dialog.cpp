#include "platform/twain_dsm/scan_dialog.h"

#include "platform/text/gbk.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <cmath>

namespace twain_dsm {

namespace {

struct TypeName {
  TW_UINT16 type;
  const char* name;
};
const TypeName kTypeNames[] = {{TWPT_BW, "黑白"}, {TWPT_GRAY, "灰度"}, {TWPT_RGB, "彩色"}};

const char* NameOf(TW_UINT16 type) {
  for (const TypeName& t : kTypeNames)
    if (t.type == type) return t.name;
  return "?";
}

}  // namespace

ScanDialog::ScanDialog(const std::string& titleGbk, Device* device, bool modal, std::function<void()> onScan,
                       std::function<void()> onCancel)
    : dialog_(new QDialog) {
  dialog_->setObjectName("twainScanDialog");
  dialog_->setWindowTitle(gbk::ToQString(titleGbk));
  if (modal) dialog_->setWindowModality(Qt::ApplicationModal);

  auto* types = new QComboBox;
  types->setObjectName("pixelType");
  for (TW_UINT16 t : device->PixelTypes()) {
    types->addItem(gbk::ToQString(NameOf(t)), int(t));
    if (t == device->PixelType()) types->setCurrentIndex(types->count() - 1);
  }

  // A range becomes a spin box, a list of resolutions a choice.
  const Resolutions choices = device->ResolutionChoices(Axis::kX);
  const double now = device->Resolution(Axis::kX);
  QWidget* resolution;
  std::function<double()> chosen;
  if (choices.isRange) {
    auto* spin = new QSpinBox;
    spin->setRange(int(std::ceil(choices.min)), int(std::floor(choices.max)));
    spin->setSingleStep(std::max(1, int(std::lround(choices.step))));
    spin->setValue(int(std::lround(now)));
    spin->setSuffix(" dpi");
    chosen = [spin] { return double(spin->value()); };
    resolution = spin;
  } else {
    auto* list = new QComboBox;
    for (double v : choices.list) {
      list->addItem(QString::number(v) + " dpi", v);
      if (v == now) list->setCurrentIndex(list->count() - 1);
    }
    chosen = [list] { return list->currentData().toDouble(); };
    resolution = list;
  }
  resolution->setObjectName("resolution");

  auto* scan = new QPushButton(gbk::ToQString("扫描"));
  scan->setObjectName("scan");
  scan->setDefault(true);
  auto* cancel = new QPushButton(gbk::ToQString("取消"));
  cancel->setObjectName("cancel");

  auto* form = new QFormLayout;
  form->addRow(gbk::ToQString("分辨率"), resolution);
  form->addRow(gbk::ToQString("扫描模式"), types);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(scan);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(dialog_);
  layout->addLayout(form);
  layout->addLayout(buttons);

  QObject::connect(scan, &QPushButton::clicked, dialog_, [device, types, chosen, onScan] {
    TW_UINT16 cc;
    if (types->currentIndex() >= 0) device->SetPixelType(TW_UINT16(types->currentData().toInt()), &cc);
    const double dpi = chosen();
    device->SetResolution(Axis::kX, dpi, &cc);
    device->SetResolution(Axis::kY, dpi, &cc);
    onScan();
  });
  QObject::connect(cancel, &QPushButton::clicked, dialog_, &QDialog::reject);
  // reject() hides the dialog; the application decides whether it goes.
  QObject::connect(dialog_, &QDialog::rejected, dialog_, onCancel);
}

ScanDialog::~ScanDialog() {
  // Without the application object (the process is ending) Qt objects can no
  // longer be destroyed safely.
  if (QCoreApplication::instance()) delete dialog_;
}

void ScanDialog::Show() {
  dialog_->show();
  dialog_->raise();
}

void ScanDialog::Hide() { dialog_->hide(); }

void ScanDialog::SetBusy(bool busy) {
  for (QWidget* w : dialog_->findChildren<QWidget*>())
    if (w->objectName() == "scan" || w->objectName() == "resolution" || w->objectName() == "pixelType")
      w->setEnabled(!busy);
}

}  // namespace twain_dsm
