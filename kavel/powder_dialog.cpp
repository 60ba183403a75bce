#include "kavel/powder_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

namespace torvex::kavel {

namespace {

// The spin boxes take wide limits: the model's own check (on "OK") says
// which range an option must lie in, in words.
QDoubleSpinBox* numberField(double value, int decimals, const QString& suffix) {
    auto* box = new QDoubleSpinBox;
    box->setDecimals(decimals);
    box->setRange(-1e6, 1e6);
    box->setValue(value);
    box->setSuffix(suffix);
    box->setAccelerated(true);
    return box;
}

QString unitSuffix(const std::string& unit) { return QStringLiteral(" ") + QString::fromStdString(unit); }

// A field shown in another unit than the model's keeps the model's exact
// value beside the rounded one it shows.
QDoubleSpinBox* convertedField(double exact, double shown, int decimals, const QString& suffix) {
    QDoubleSpinBox* box = numberField(shown, decimals, suffix);
    box->setProperty("exact", exact);
    box->setProperty("shown", box->value());
    return box;
}

// The model's value of a converted field: the exact one while the field
// still shows it, so rounding for display never shifts an option the user
// left alone; otherwise the typed value converted.
template <typename ToModel>
double modelValue(const QDoubleSpinBox* box, ToModel toModel) {
    if (box->value() == box->property("shown").toDouble()) return box->property("exact").toDouble();
    return toModel(box->value());
}

}  // namespace

PowderDialog::PowderDialog(QWidget* parent, const particles::SprayOptions& options,
                           const particles::MaterialTable& materials, const SprayUnits& units,
                           double fieldEndMm)
    : QDialog(parent), base_(options), units_(units), fieldEndMm_(fieldEndMm) {
    setWindowTitle(QStringLiteral("Powder and Injection"));
    const QString length = unitSuffix(units.distanceUnit());
    const int lengthDecimals = units.metric() ? 1 : 3;

    material_ = new QComboBox;
    for (const particles::Material& m : materials.rows) {
        material_->addItem(QString::fromStdString(m.name), QString::fromStdString(m.key));
    }
    const int current = material_->findData(QString::fromStdString(options.powder.material));
    if (current >= 0) material_->setCurrentIndex(current);

    distribution_ = new QRadioButton(QStringLiteral("Log-normal from d10 / d50 / d90"));
    singleSize_ = new QRadioButton(QStringLiteral("One size (d50)"));
    (options.powder.singleSize ? singleSize_ : distribution_)->setChecked(true);
    d10_ = numberField(options.powder.d10Um, 1, QStringLiteral(" \u00b5m"));
    d50_ = numberField(options.powder.d50Um, 1, QStringLiteral(" \u00b5m"));
    d90_ = numberField(options.powder.d90Um, 1, QStringLiteral(" \u00b5m"));
    count_ = new QSpinBox;
    count_->setRange(-1, 10000000);
    count_->setValue(options.powder.count);
    connect(distribution_, &QRadioButton::toggled, this, [this] { showSizeMode(); });

    const auto lengthField = [&](double mm) {
        return convertedField(mm, units.distance(mm), lengthDecimals, length);
    };
    injectionDistance_ = lengthField(options.injection.distanceMm);
    injectionRadius_ = lengthField(options.injection.radiusMm);
    velocity_ = convertedField(options.injection.velocity, units.velocity(options.injection.velocity), 1,
                               unitSuffix(units.velocityUnit()));
    spread_ = numberField(100 * options.injection.velocitySpread, 0, QStringLiteral(" %"));
    divergence_ = numberField(options.injection.divergenceDeg, 1, QStringLiteral(" \u00b0"));
    standoff_ = lengthField(options.standoffMm);
    standoff_->setObjectName(QStringLiteral("standoff"));
    seed_ = new QSpinBox;
    seed_->setRange(0, 2147483647);
    seed_->setValue(static_cast<int>(std::min<std::uint64_t>(options.seed, 2147483647)));
    conduction_ = new QCheckBox(QStringLiteral("Heat conduction inside the particle (off: one temperature)"));
    conduction_->setChecked(options.model.internalConduction);
    gravity_ = new QCheckBox(QStringLiteral("Gravity"));
    gravity_->setChecked(options.model.gravity);

    auto* powder = new QGroupBox(QStringLiteral("Powder"));
    auto* powderForm = new QFormLayout(powder);
    powderForm->addRow(QStringLiteral("Material:"), material_);
    powderForm->addRow(distribution_);
    powderForm->addRow(singleSize_);
    powderForm->addRow(QStringLiteral("d10:"), d10_);
    powderForm->addRow(QStringLiteral("d50:"), d50_);
    powderForm->addRow(QStringLiteral("d90:"), d90_);
    powderForm->addRow(QStringLiteral("Particles:"), count_);

    auto* injection = new QGroupBox(QStringLiteral("Injection and substrate"));
    auto* injectionForm = new QFormLayout(injection);
    injectionForm->addRow(QStringLiteral("Injector downstream of the nozzle exit:"), injectionDistance_);
    injectionForm->addRow(QStringLiteral("Injector distance from the axis:"), injectionRadius_);
    injectionForm->addRow(QStringLiteral("Injection velocity:"), velocity_);
    injectionForm->addRow(QStringLiteral("Velocity spread (\u00b1):"), spread_);
    injectionForm->addRow(QStringLiteral("Divergence angle:"), divergence_);
    injectionForm->addRow(QStringLiteral("Standoff distance:"), standoff_);
    injectionForm->addRow(QStringLiteral("Seed:"), seed_);
    injectionForm->addRow(conduction_);
    injectionForm->addRow(gravity_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("&Run"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* columns = new QHBoxLayout;
    columns->addWidget(powder);
    columns->addWidget(injection);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addWidget(buttons);
    showSizeMode();
}

void PowderDialog::showSizeMode() {
    const bool distribution = distribution_->isChecked();
    d10_->setEnabled(distribution);
    d90_->setEnabled(distribution);
}

particles::SprayOptions PowderDialog::options() const {
    particles::SprayOptions o = base_;
    o.powder.material = material_->currentData().toString().toStdString();
    o.powder.singleSize = singleSize_->isChecked();
    o.powder.d10Um = d10_->value();
    o.powder.d50Um = d50_->value();
    o.powder.d90Um = d90_->value();
    o.powder.count = count_->value();
    const auto toMillimetres = [this](double shown) { return units_.millimetres(shown); };
    o.injection.distanceMm = modelValue(injectionDistance_, toMillimetres);
    o.injection.radiusMm = modelValue(injectionRadius_, toMillimetres);
    o.injection.speedFrom = particles::InjectionSpeed::Fixed;  // the dialog offers a speed, not the carrier gas
    o.injection.velocity = modelValue(velocity_, [this](double shown) { return shown / units_.velocity(1); });
    o.injection.velocitySpread = spread_->value() / 100;
    o.injection.divergenceDeg = divergence_->value();
    o.standoffMm = modelValue(standoff_, toMillimetres);
    o.seed = static_cast<std::uint64_t>(seed_->value());
    o.model.internalConduction = conduction_->isChecked();
    o.model.gravity = gravity_->isChecked();
    return o;
}

QString PowderDialog::problem() const {
    if (material_->count() == 0)
        return QStringLiteral("No powder material is known: the materials table was not found.");
    return QString::fromStdString(particles::checkOptions(options(), fieldEndMm_));
}

void PowderDialog::accept() {
    const QString why = problem();
    if (!why.isEmpty()) {
        QMessageBox::warning(this, QStringLiteral("Powder and Injection"), why);
        return;
    }
    QDialog::accept();
}

}  // namespace torvex::kavel
