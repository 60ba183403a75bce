#include "kavel/powder_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "particles/spray_option_table.h"

namespace torvex::kavel {

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

namespace {

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
    auto* tabs = new QTabWidget;
    tabs->addTab(powderTab(options, materials), QStringLiteral("&Powder"));
    tabs->addTab(injectionTab(options), QStringLiteral("&Injection"));
    tabs->addTab(modelTab(options), QStringLiteral("&Model"));
    tabs->addTab(substrateTab(options), QStringLiteral("Substrate and &Sensor"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("&Run"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addWidget(buttons);
    showSizeMode();
    showSpeedMode();
    showSensorMode();
    // Each field explains itself in the words of kavel-run's --help.
    const std::pair<QWidget*, const char*> explained[] = {
        {d50_, "d50"}, {d90_, "d90"}, {sizeBasis_, "size-basis"}, {count_, "count"}, {precision_, "precision"},
        {injectionDistance_, "injection-distance"}, {injectionRadius_, "injection-radius"}, {angle_, "injection-angle"},
        {carrierFlow_, "carrier-flow"}, {injectorDiameter_, "injector-diameter"}, {velocity_, "injection-velocity"},
        {spread_, "velocity-spread"}, {divergence_, "divergence"}, {shells_, "shells"}, {dragBasis_, "drag"},
        {knudsen_, "knudsen"}, {gamma_, "gas-gamma"}, {radiation_, "radiation"}, {shielding_, "vapour-shielding"},
        {evaporation_, "diffusive-evaporation"}, {gravity_, "gravity"}, {standoff_, "standoff"}, {seed_, "seed"},
        {substrateRadius_, "substrate-radius"}, {sensorSize_, "sensor-size"}, {sizeClasses_, "size-classes"},
        {trajectories_, "sampled-trajectories"}};
    for (const auto& [field, flag] : explained)
        if (const auto* row = particles::findSprayOption(std::string("--") + flag, particles::OptionNames::Terminal))
            field->setToolTip(QString::fromUtf8(row->help));
}

QDoubleSpinBox* PowderDialog::lengthField(double mm, const char* name) const {
    QDoubleSpinBox* box = convertedField(mm, units_.distance(mm), units_.metric() ? 1 : 3,
                                         unitSuffix(units_.distanceUnit()));
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

QString distributionFileHint() {
    return QStringLiteral(
        "<p>A measured size distribution: one size class per line, <tt>from_um,to_um,volume_percent</tt> "
        "(the class's smaller and larger size in \u00b5m and the percentage of the powder's volume in it), "
        "for example:</p>"
        "<pre>from_um,to_um,volume_percent\n10,20,5\n20,32,25\n32,45,40\n45,63,25\n63,90,5</pre>"
        "<p>Classes in increasing order without overlapping, up to 5000 \u00b5m; the percentages add up to "
        "100. The header line is optional, lines starting with # are skipped. Empty: the log-normal from "
        "d10 / d50 / d90. Help &gt; Help Contents, \u201cThe size-distribution file\u201d, tells more.</p>");
}

QWidget* PowderDialog::powderTab(const particles::SprayOptions& options, const particles::MaterialTable& materials) {
    material_ = new QComboBox;
    for (const particles::Material& m : materials.rows) {
        material_->addItem(QString::fromStdString(m.name), QString::fromStdString(m.key));
    }
    material_->setToolTip(QStringLiteral("The packaged materials and those of a materials.csv in the working "
                                         "folder (its layout: Help > Help Contents, \u201cThe materials file\u201d)."));
    const int current = material_->findData(QString::fromStdString(options.powder.material));
    if (current >= 0) material_->setCurrentIndex(current);

    distribution_ = new QRadioButton(QStringLiteral("Log-normal from d10 / d50 / d90"));
    singleSize_ = new QRadioButton(QStringLiteral("One size (d50)"));
    (options.powder.singleSize ? singleSize_ : distribution_)->setChecked(true);
    d10_ = numberField(options.powder.d10Um, 1, QStringLiteral(" \u00b5m"));
    d50_ = numberField(options.powder.d50Um, 1, QStringLiteral(" \u00b5m"));
    d90_ = numberField(options.powder.d90Um, 1, QStringLiteral(" \u00b5m"));
    // Datasheets give the quantiles of laser diffraction or sieving, by volume.
    sizeBasis_ = new QComboBox;
    sizeBasis_->setObjectName(QStringLiteral("sizeBasis"));
    sizeBasis_->addItem(QStringLiteral("by volume (laser diffraction, sieving)"));
    sizeBasis_->addItem(QStringLiteral("by number (image analysis)"));
    sizeBasis_->setCurrentIndex(options.powder.sizeBasis == particles::SizeBasis::Number ? 1 : 0);
    distributionFile_ = new QLineEdit(QString::fromStdString(options.powder.sizeDistributionFile));
    distributionFile_->setObjectName(QStringLiteral("distributionFile"));
    distributionFile_->setPlaceholderText(QStringLiteral("none: the log-normal"));
    distributionFile_->setToolTip(distributionFileHint());
    auto* browse = new QPushButton(QStringLiteral("&Browse\u2026"));
    connect(browse, &QPushButton::clicked, this, [this] { browseDistributionFile(); });
    connect(distributionFile_, &QLineEdit::textChanged, this, [this] { showSizeMode(); });
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(distributionFile_, 1);
    fileRow->addWidget(browse);
    count_ = new QSpinBox;
    count_->setRange(-1, 10000000);
    count_->setValue(options.powder.count);
    // By default a spray flies particles until its molten and arriving shares
    // are known to +-1 point; at 0 the count above is flown as it stands.
    precision_ = new QDoubleSpinBox;
    precision_->setRange(0, 20);
    precision_->setDecimals(1);
    precision_->setSingleStep(0.5);
    precision_->setSuffix(QStringLiteral(" points"));
    precision_->setSpecialValueText(QStringLiteral("fixed count"));
    precision_->setValue(options.precisionPoints);
    connect(precision_, qOverload<double>(&QDoubleSpinBox::valueChanged), this,
            [this](double points) { count_->setEnabled(points == 0); });
    count_->setEnabled(options.precisionPoints == 0);
    connect(distribution_, &QRadioButton::toggled, this, [this] { showSizeMode(); });

    auto* tab = new QWidget;
    auto* form = new QFormLayout(tab);
    form->addRow(QStringLiteral("Material:"), material_);
    form->addRow(distribution_);
    form->addRow(singleSize_);
    form->addRow(QStringLiteral("d10:"), d10_);
    form->addRow(QStringLiteral("d50:"), d50_);
    form->addRow(QStringLiteral("d90:"), d90_);
    form->addRow(QStringLiteral("d10 / d50 / d90 are quantiles:"), sizeBasis_);
    form->addRow(QStringLiteral("Measured distribution (CSV):"), fileRow);
    form->addRow(QStringLiteral("Shares known to \u00b1:"), precision_);
    form->addRow(QStringLiteral("Particles (fixed count):"), count_);
    return tab;
}

QWidget* PowderDialog::injectionTab(const particles::SprayOptions& options) {
    const particles::InjectionOptions& in = options.injection;
    injectionDistance_ = lengthField(in.distanceMm, "injectorDistance");
    injectionRadius_ = lengthField(in.radiusMm, "injectorRadius");
    angle_ = numberField(in.angleDeg, 1, QStringLiteral(" \u00b0"));
    angle_->setObjectName(QStringLiteral("injectorAngle"));
    fromCarrierGas_ = new QRadioButton(QStringLiteral("From the carrier gas (each size at its own speed)"));
    fixedSpeed_ = new QRadioButton(QStringLiteral("Fixed, the same for every size"));
    fixedSpeed_->setObjectName(QStringLiteral("fixedSpeed"));
    (in.speedFrom == particles::InjectionSpeed::Fixed ? fixedSpeed_ : fromCarrierGas_)->setChecked(true);
    connect(fixedSpeed_, &QRadioButton::toggled, this, [this] { showSpeedMode(); });
    carrierFlow_ = numberField(in.carrierFlowSlpm, 2, QStringLiteral(" SLPM argon"));
    carrierFlow_->setObjectName(QStringLiteral("carrierFlow"));
    injectorDiameter_ = convertedField(in.injectorDiameterMm, units_.distance(in.injectorDiameterMm),
                                       units_.metric() ? 2 : 4, unitSuffix(units_.distanceUnit()));
    injectorDiameter_->setObjectName(QStringLiteral("injectorDiameter"));
    velocity_ = convertedField(in.velocity, units_.velocity(in.velocity), 1, unitSuffix(units_.velocityUnit()));
    velocity_->setObjectName(QStringLiteral("velocity"));
    spread_ = numberField(100 * in.velocitySpread, 0, QStringLiteral(" %"));
    divergence_ = numberField(in.divergenceDeg, 1, QStringLiteral(" \u00b0"));

    auto* position = new QGroupBox(QStringLiteral("Injector"));
    auto* positionForm = new QFormLayout(position);
    positionForm->addRow(QStringLiteral("Downstream of the nozzle exit:"), injectionDistance_);
    positionForm->addRow(QStringLiteral("Distance from the axis:"), injectionRadius_);
    positionForm->addRow(QStringLiteral("Angle (+ downstream):"), angle_);
    auto* speed = new QGroupBox(QStringLiteral("Injection speed"));
    auto* speedForm = new QFormLayout(speed);
    speedForm->addRow(fromCarrierGas_);
    speedForm->addRow(QStringLiteral("Carrier-gas flow:"), carrierFlow_);
    speedForm->addRow(QStringLiteral("Injector internal diameter:"), injectorDiameter_);
    speedForm->addRow(fixedSpeed_);
    speedForm->addRow(QStringLiteral("Injection velocity:"), velocity_);
    speedForm->addRow(QStringLiteral("Velocity spread (\u00b1):"), spread_);
    speedForm->addRow(QStringLiteral("Divergence cone (full angle):"), divergence_);
    auto* tab = new QWidget;
    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(position);
    layout->addWidget(speed);
    layout->addStretch();
    return tab;
}

QWidget* PowderDialog::modelTab(const particles::SprayOptions& options) {
    const particles::ModelOptions& m = options.model;
    conduction_ = new QCheckBox(QStringLiteral("Heat conduction inside the particle (off: one temperature)"));
    conduction_->setChecked(m.internalConduction);
    shells_ = new QSpinBox;
    shells_->setObjectName(QStringLiteral("shells"));
    shells_->setRange(-1, 100000);
    shells_->setValue(m.shellCount);
    connect(conduction_, &QCheckBox::toggled, shells_, &QWidget::setEnabled);
    shells_->setEnabled(m.internalConduction);
    dragBasis_ = new QComboBox;
    dragBasis_->setObjectName(QStringLiteral("dragBasis"));
    dragBasis_->addItem(QStringLiteral("gas properties at the film temperature"));
    dragBasis_->addItem(QStringLiteral("free stream with the Lee\u2013Pfender factor"));
    dragBasis_->setCurrentIndex(m.dragBasis == particles::DragBasis::FreeStream ? 1 : 0);
    knudsen_ = new QCheckBox(QStringLiteral("Non-continuum (Knudsen) correction of drag and heat"));
    knudsen_->setChecked(m.knudsenCorrection);
    gamma_ = numberField(m.gasGamma, 3, QString());
    gamma_->setObjectName(QStringLiteral("gamma"));
    gamma_->setSpecialValueText(QStringLiteral("from the gas"));
    gamma_->setMinimum(0);
    connect(knudsen_, &QCheckBox::toggled, gamma_, &QWidget::setEnabled);
    gamma_->setEnabled(m.knudsenCorrection);
    radiation_ = new QCheckBox(QStringLiteral("Radiation from the particle's surface"));
    radiation_->setChecked(m.radiation);
    shielding_ = new QCheckBox(QStringLiteral("Vapour shielding of the heat flux"));
    shielding_->setChecked(m.vapourShielding);
    evaporation_ = new QCheckBox(QStringLiteral("Evaporation by diffusion below the boiling point"));
    evaporation_->setChecked(m.diffusiveEvaporation);
    gravity_ = new QCheckBox(QStringLiteral("Gravity"));
    gravity_->setChecked(m.gravity);

    auto* tab = new QWidget;
    auto* form = new QFormLayout(tab);
    form->addRow(conduction_);
    form->addRow(QStringLiteral("Shells inside the particle:"), shells_);
    form->addRow(QStringLiteral("Drag from:"), dragBasis_);
    form->addRow(knudsen_);
    form->addRow(QStringLiteral("Heat-capacity ratio \u03b3 (0 = from the gas):"), gamma_);
    form->addRow(radiation_);
    form->addRow(shielding_);
    form->addRow(evaporation_);
    form->addRow(gravity_);
    return tab;
}

QWidget* PowderDialog::substrateTab(const particles::SprayOptions& options) {
    standoff_ = lengthField(options.standoffMm, "standoff");
    substrateRadius_ = lengthField(options.substrateRadiusMm, "substrateRadius");
    seed_ = new QSpinBox;
    seed_->setRange(0, 2147483647);
    seed_->setValue(static_cast<int>(std::min<std::uint64_t>(options.seed, 2147483647)));
    const particles::SensorOptions& sensor = options.sensor;
    sensorSize_ = lengthField(sensor.sizeMm, "sensorSize");
    atPlumeCentre_ = new QRadioButton(QStringLiteral("At the centre of the particle plume"));
    atPoint_ = new QRadioButton(QStringLiteral("At a chosen point:"));
    atPoint_->setObjectName(QStringLiteral("sensorAtPoint"));
    (sensor.atPlumeCentre ? atPlumeCentre_ : atPoint_)->setChecked(true);
    connect(atPoint_, &QRadioButton::toggled, this, [this] { showSensorMode(); });
    sensorX_ = lengthField(sensor.xMm, "sensorX");
    sensorY_ = lengthField(sensor.yMm, "sensorY");
    sizeClasses_ = new QSpinBox;
    sizeClasses_->setObjectName(QStringLiteral("sizeClasses"));
    sizeClasses_->setRange(-1, 1000);
    sizeClasses_->setValue(options.sizeClasses);
    trajectories_ = new QSpinBox;
    trajectories_->setObjectName(QStringLiteral("sampledTrajectories"));
    trajectories_->setRange(0, 2000);  // as the option takes it
    trajectories_->setValue(options.sampledTrajectories);

    auto* substrate = new QGroupBox(QStringLiteral("Substrate"));
    auto* substrateForm = new QFormLayout(substrate);
    substrateForm->addRow(QStringLiteral("Standoff distance:"), standoff_);
    substrateForm->addRow(QStringLiteral("Substrate radius (a disc around the axis):"), substrateRadius_);
    substrateForm->addRow(QStringLiteral("Seed:"), seed_);
    auto* sensorBox = new QGroupBox(QStringLiteral("In-flight sensor at the standoff"));
    auto* sensorForm = new QFormLayout(sensorBox);
    sensorForm->addRow(QStringLiteral("Measurement volume diameter:"), sensorSize_);
    sensorForm->addRow(atPlumeCentre_);
    sensorForm->addRow(atPoint_);
    sensorForm->addRow(QStringLiteral("x (across the injection plane):"), sensorX_);
    sensorForm->addRow(QStringLiteral("y (toward the injector):"), sensorY_);
    sensorForm->addRow(QStringLiteral("Size classes of the table:"), sizeClasses_);
    sensorForm->addRow(QStringLiteral("Trajectories kept besides d10/d50/d90:"), trajectories_);
    auto* tab = new QWidget;
    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(substrate);
    layout->addWidget(sensorBox);
    layout->addStretch();
    return tab;
}

void PowderDialog::showSizeMode() {
    const bool distribution = distribution_->isChecked();
    const bool measured = !distributionFile_->text().trimmed().isEmpty();
    d10_->setEnabled(distribution && !measured);
    d50_->setEnabled(!measured || !distribution);
    d90_->setEnabled(distribution && !measured);
    sizeBasis_->setEnabled(distribution && !measured);
}

void PowderDialog::showSpeedMode() {
    const bool fixed = fixedSpeed_->isChecked();
    carrierFlow_->setEnabled(!fixed);
    injectorDiameter_->setEnabled(!fixed);
    velocity_->setEnabled(fixed);
}

void PowderDialog::showSensorMode() {
    sensorX_->setEnabled(atPoint_->isChecked());
    sensorY_->setEnabled(atPoint_->isChecked());
}

void PowderDialog::browseDistributionFile() {
    const QString chosen = QFileDialog::getOpenFileName(
        this, QStringLiteral("Measured Size Distribution"), distributionFile_->text(),
        QStringLiteral("Size distributions (*.csv);;All files (*)"));
    if (!chosen.isEmpty()) distributionFile_->setText(chosen);
}

particles::SprayOptions PowderDialog::options() const {
    particles::SprayOptions o = base_;
    o.powder.material = material_->currentData().toString().toStdString();
    o.powder.singleSize = singleSize_->isChecked();
    o.powder.d10Um = d10_->value();
    o.powder.d50Um = d50_->value();
    o.powder.d90Um = d90_->value();
    o.powder.sizeBasis = sizeBasis_->currentIndex() == 1 ? particles::SizeBasis::Number : particles::SizeBasis::Volume;
    o.powder.sizeDistributionFile = distributionFile_->text().trimmed().toStdString();
    o.powder.count = count_->value();
    o.precisionPoints = precision_->value();
    const auto toMillimetres = [this](double shown) { return units_.millimetres(shown); };
    o.injection.distanceMm = modelValue(injectionDistance_, toMillimetres);
    o.injection.radiusMm = modelValue(injectionRadius_, toMillimetres);
    o.injection.angleDeg = angle_->value();
    o.injection.speedFrom =
        fixedSpeed_->isChecked() ? particles::InjectionSpeed::Fixed : particles::InjectionSpeed::CarrierGas;
    o.injection.carrierFlowSlpm = carrierFlow_->value();
    o.injection.injectorDiameterMm = modelValue(injectorDiameter_, toMillimetres);
    o.injection.velocity = modelValue(velocity_, [this](double shown) { return shown / units_.velocity(1); });
    o.injection.velocitySpread = spread_->value() / 100;
    o.injection.divergenceDeg = divergence_->value();
    o.standoffMm = modelValue(standoff_, toMillimetres);
    o.substrateRadiusMm = modelValue(substrateRadius_, toMillimetres);
    o.sampledTrajectories = trajectories_->value();
    o.seed = static_cast<std::uint64_t>(seed_->value());
    o.model.internalConduction = conduction_->isChecked();
    o.model.shellCount = shells_->value();
    o.model.dragBasis =
        dragBasis_->currentIndex() == 1 ? particles::DragBasis::FreeStream : particles::DragBasis::FilmProperties;
    o.model.knudsenCorrection = knudsen_->isChecked();
    o.model.gasGamma = gamma_->value();
    o.model.radiation = radiation_->isChecked();
    o.model.vapourShielding = shielding_->isChecked();
    o.model.diffusiveEvaporation = evaporation_->isChecked();
    o.model.gravity = gravity_->isChecked();
    o.sensor.sizeMm = modelValue(sensorSize_, toMillimetres);
    o.sensor.atPlumeCentre = atPlumeCentre_->isChecked();
    o.sensor.xMm = modelValue(sensorX_, toMillimetres);
    o.sensor.yMm = modelValue(sensorY_, toMillimetres);
    o.sizeClasses = sizeClasses_->value();
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
