#include "kavel/tune_dialog.h"

#include "kavel/powder_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace torvex::kavel {

TuneDialog::TuneDialog(QWidget* parent, const particles::TuneOptions& tune, int particlesPerStep)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Tune Injector"));
    scan_ = new QComboBox;
    scan_->setObjectName(QStringLiteral("scan"));
    scan_->addItem(QStringLiteral("carrier-gas flow"));
    scan_->addItem(QStringLiteral("injection speed (fixed)"));
    scan_->setCurrentIndex(tune.scan == particles::TuneScan::InjectionSpeed ? 1 : 0);
    from_ = numberField(tune.from, 2, QString());
    from_->setObjectName(QStringLiteral("from"));
    to_ = numberField(tune.to, 2, QString());
    to_->setObjectName(QStringLiteral("to"));
    steps_ = new QSpinBox;
    steps_->setObjectName(QStringLiteral("steps"));
    steps_->setRange(-1, 100000);
    steps_->setValue(tune.steps);
    deviation_ = new QRadioButton(QStringLiteral("Particle jet deviated by"));
    molten_ = new QRadioButton(QStringLiteral("The most molten mass at the standoff"));
    molten_->setObjectName(QStringLiteral("molten"));
    (tune.goal == particles::TuneGoal::Molten ? molten_ : deviation_)->setChecked(true);
    target_ = numberField(tune.targetDeg, 2, QStringLiteral(" \u00b0"));
    target_->setObjectName(QStringLiteral("target"));
    particles_ = new QSpinBox;
    particles_->setObjectName(QStringLiteral("particles"));
    particles_->setRange(0, 10000000);
    // 0 (the field's lowest, shown as words): each step flies until its shares are known as a spray's are (at
    // most kTuneStepCap particles), so steps can be told apart or not.
    particles_->setSpecialValueText(QStringLiteral("as the spray's precision asks"));
    particles_->setValue(particlesPerStep);
    connect(scan_, &QComboBox::currentIndexChanged, this, [this] { showScan(); });
    connect(deviation_, &QRadioButton::toggled, this, [this] { showGoal(); });

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Scan:"), scan_);
    form->addRow(QStringLiteral("From:"), from_);
    form->addRow(QStringLiteral("To:"), to_);
    form->addRow(QStringLiteral("Steps:"), steps_);
    form->addRow(QStringLiteral("Goal:"), deviation_);
    form->addRow(QStringLiteral("  target angle:"), target_);
    form->addRow(QString(), molten_);
    form->addRow(QStringLiteral("Particles per step:"), particles_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("&Scan"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    showScan();
    showGoal();
}

void TuneDialog::showScan() {
    const QString unit = QString::fromLatin1(particles::tuneUnit(options().scan));
    from_->setSuffix(QStringLiteral(" ") + unit);
    to_->setSuffix(QStringLiteral(" ") + unit);
}

void TuneDialog::showGoal() { target_->setEnabled(deviation_->isChecked()); }

particles::TuneOptions TuneDialog::options() const {
    particles::TuneOptions t;
    t.scan = scan_->currentIndex() == 1 ? particles::TuneScan::InjectionSpeed : particles::TuneScan::CarrierFlow;
    t.from = from_->value();
    t.to = to_->value();
    t.steps = steps_->value();
    t.goal = molten_->isChecked() ? particles::TuneGoal::Molten : particles::TuneGoal::Deviation;
    t.targetDeg = target_->value();
    return t;
}

int TuneDialog::particlesPerStep() const { return particles_->value(); }

QString TuneDialog::problem() const {
    if (particlesPerStep() < 0) return QStringLiteral("Each step needs at least one particle.");
    return QString::fromStdString(particles::checkTuneOptions(options()));
}

void TuneDialog::accept() {
    const QString why = problem();
    if (!why.isEmpty()) {
        QMessageBox::warning(this, QStringLiteral("Tune Injector"), why);
        return;
    }
    QDialog::accept();
}

}  // namespace torvex::kavel
