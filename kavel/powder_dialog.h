// The dialog for the powder and its injection, on four tabs so that it fits
// a small screen: the powder (material, size distribution by volume or number
// or a measured one, particle count), the injector (position, angle, speed
// from the carrier gas or fixed, spread, divergence), the model's switches,
// and the substrate (standoff, radius) with the in-flight sensor, the size
// classes and the trajectories kept. It edits
// a plain SprayOptions; lengths are shown in the unit the pages show.
#pragma once

#include <QDialog>

#include "pages/spray_units.h"
#include "particles/particle_model.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLineEdit;
class QRadioButton;
class QSpinBox;
class QWidget;

namespace torvex::kavel {

// A number field with wide limits, for the spray's dialogs: the options' own
// check (on "OK") says in words which range a value must lie in.
QDoubleSpinBox* numberField(double value, int decimals, const QString& suffix);

// The layout of a measured size-distribution file with an example: the
// tooltip of the dialog's distribution-file field.
QString distributionFileHint();

class PowderDialog : public QDialog {
    Q_OBJECT
public:
    // `materials` are offered by name; `fieldEndMm` is where the jet field
    // ends (the options are checked against it on "OK").
    PowderDialog(QWidget* parent, const particles::SprayOptions& options,
                 const particles::MaterialTable& materials, const SprayUnits& units, double fieldEndMm);

    // The options as the fields now say.
    particles::SprayOptions options() const;
    // Why the options would be refused ("" when they are acceptable).
    QString problem() const;

    void accept() override;

private:
    QWidget* powderTab(const particles::SprayOptions& options, const particles::MaterialTable& materials);
    QWidget* injectionTab(const particles::SprayOptions& options);
    QWidget* modelTab(const particles::SprayOptions& options);
    QWidget* substrateTab(const particles::SprayOptions& options);
    void showSizeMode();
    void showSpeedMode();
    void showSensorMode();
    void browseDistributionFile();
    QDoubleSpinBox* lengthField(double mm, const char* name) const;

    particles::SprayOptions base_;
    SprayUnits units_;
    double fieldEndMm_;
    QComboBox* material_ = nullptr;
    QRadioButton* distribution_ = nullptr;
    QRadioButton* singleSize_ = nullptr;
    QDoubleSpinBox* d10_ = nullptr;
    QDoubleSpinBox* d50_ = nullptr;
    QDoubleSpinBox* d90_ = nullptr;
    QComboBox* sizeBasis_ = nullptr;
    QLineEdit* distributionFile_ = nullptr;
    QSpinBox* count_ = nullptr;
    QDoubleSpinBox* precision_ = nullptr;  // points the shares are known to; 0: the count fixed
    QDoubleSpinBox* injectionDistance_ = nullptr;
    QDoubleSpinBox* injectionRadius_ = nullptr;
    QDoubleSpinBox* angle_ = nullptr;
    QRadioButton* fromCarrierGas_ = nullptr;
    QRadioButton* fixedSpeed_ = nullptr;
    QDoubleSpinBox* carrierFlow_ = nullptr;
    QDoubleSpinBox* injectorDiameter_ = nullptr;
    QDoubleSpinBox* velocity_ = nullptr;
    QDoubleSpinBox* spread_ = nullptr;
    QDoubleSpinBox* divergence_ = nullptr;
    QDoubleSpinBox* standoff_ = nullptr;
    QDoubleSpinBox* substrateRadius_ = nullptr;
    QSpinBox* seed_ = nullptr;
    QSpinBox* trajectories_ = nullptr;
    QCheckBox* conduction_ = nullptr;
    QSpinBox* shells_ = nullptr;
    QComboBox* dragBasis_ = nullptr;
    QCheckBox* knudsen_ = nullptr;
    QDoubleSpinBox* gamma_ = nullptr;
    QCheckBox* radiation_ = nullptr;
    QCheckBox* shielding_ = nullptr;
    QCheckBox* evaporation_ = nullptr;
    QCheckBox* gravity_ = nullptr;
    QDoubleSpinBox* sensorSize_ = nullptr;
    QRadioButton* atPlumeCentre_ = nullptr;
    QRadioButton* atPoint_ = nullptr;
    QDoubleSpinBox* sensorX_ = nullptr;
    QDoubleSpinBox* sensorY_ = nullptr;
    QSpinBox* sizeClasses_ = nullptr;
};

}  // namespace torvex::kavel
