// The dialog for the powder and its injection: material, size distribution,
// particle count, injector position, injection velocity and spread,
// divergence, standoff and seed, and the two model switches an engineer
// may want (internal conduction, gravity). It edits a plain SprayOptions;
// lengths are shown in the variant's unit.
#pragma once

#include <QDialog>

#include "kavel/spray_units.h"
#include "particles/particle_model.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QRadioButton;
class QSpinBox;

namespace torvex::kavel {

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
    void showSizeMode();

    particles::SprayOptions base_;
    SprayUnits units_;
    double fieldEndMm_;
    QComboBox* material_ = nullptr;
    QRadioButton* distribution_ = nullptr;
    QRadioButton* singleSize_ = nullptr;
    QDoubleSpinBox* d10_ = nullptr;
    QDoubleSpinBox* d50_ = nullptr;
    QDoubleSpinBox* d90_ = nullptr;
    QSpinBox* count_ = nullptr;
    QDoubleSpinBox* injectionDistance_ = nullptr;
    QDoubleSpinBox* injectionRadius_ = nullptr;
    QDoubleSpinBox* velocity_ = nullptr;
    QDoubleSpinBox* spread_ = nullptr;
    QDoubleSpinBox* divergence_ = nullptr;
    QDoubleSpinBox* standoff_ = nullptr;
    QSpinBox* seed_ = nullptr;
    QCheckBox* conduction_ = nullptr;
    QCheckBox* gravity_ = nullptr;
};

}  // namespace torvex::kavel
