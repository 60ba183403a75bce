// The spray-particle model: powder injected into the computed plasma jet,
// accelerated, heated, melted and partly evaporated on its way to the
// substrate. Standard C++ only; the desktop program, kavel-run and the
// Python module call it through particles/spray_in_folder.h.
//
// Lengths in the options are millimetres and micrometres whatever the user's
// length unit (the programs convert); everything inside is SI.
#pragma once

#include "particles/jet_field.h"
#include "particles/materials.h"
#include "particles/sampling.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace torvex::particles {

// ----- What the user chooses ---------------------------------------------------

// What share d10/d50/d90 are quantiles of: the volume (mass) of the powder,
// as laser diffraction and sieving give them on datasheets, or the number of
// particles, as image analysis counts them.
enum class SizeBasis { Volume, Number };

struct PowderOptions {
    std::string material = "ysz8";  // key in the materials table
    // Log-normal size distribution from d10/d50/d90 (µm); with singleSize
    // every particle has diameter d50.
    bool singleSize = false;
    double d10Um = 20;
    double d50Um = 40;
    double d90Um = 70;
    SizeBasis sizeBasis = SizeBasis::Volume;
    // A measured distribution instead of the log-normal: a CSV of size
    // classes (upper bound, µm) and the volume percent in each; "" = log-normal.
    std::string sizeDistributionFile;
    int count = 1000;  // particles simulated while the count is fixed (SprayOptions::precisionPoints 0)
};

// How the particles leave the injector.
enum class InjectionSpeed {
    CarrierGas,  // each at the speed its size reaches in the carrier gas inside the injector tube
    Fixed,       // every size at `velocity`
};

struct InjectionOptions {
    double distanceMm = 2;   // injector's axial position downstream of the nozzle exit
    double radiusMm = 8;     // injector's distance from the axis
    InjectionSpeed speedFrom = InjectionSpeed::CarrierGas;
    double velocity = 20;    // mean injection speed, m/s, toward the axis (InjectionSpeed::Fixed)
    // Carrier gas (argon) and injector tube; defaults as on common APS torches
    // (1.8 mm internal diameter, about 3 SLPM of argon).
    double carrierFlowSlpm = 3;
    double injectorDiameterMm = 1.8;
    double velocitySpread = 0.2;  // relative half-width of the uniform speed spread (0.2 = ±20 %)
    double divergenceDeg = 0;     // full angle of the injection cone around the injector's axis
    double angleDeg = 0;          // injector tilt from the perpendicular to the torch axis, + downstream
    double side = 1;              // +1 injector at +y, -1 at -y
};

// Where the gas properties of the drag law are taken: at the film
// temperature (T_gas + T_s)/2, or in the free stream with the Lee-Pfender
// property-ratio factor for the cold boundary layer. Drag only: heat always
// uses the integral-mean conductivity across the boundary layer.
enum class DragBasis { FilmProperties, FreeStream };

// Switches of the physics (all on by default except gravity); the tests
// turn single effects off to meet analytic limits.
struct ModelOptions {
    bool internalConduction = true;   // false: one temperature per particle (lumped)
    DragBasis dragBasis = DragBasis::FilmProperties;
    bool knudsenCorrection = true;    // Chen-Pfender non-continuum factors on drag and heat
    bool radiation = true;            // surface radiation loss
    bool vapourShielding = true;      // heat to a boiling particle reduced by ln(1+B)/B
    bool diffusiveEvaporation = true; // vapour diffuses off below the boiling point
    double gasGamma = 0;              // heat-capacity ratio in the Knudsen correction; 0 = from the gas
    bool gravity = false;             // gravity along -y
    int shellCount = 16;              // radial shells of the conduction model
    double timeStepScale = 1;         // 1 = default step control; 0.5 halves every step
    double maxFlightTimeMs = 20;      // a particle still in flight then is given up
};

// A virtual in-flight sensor at the standoff: a measurement volume seen as a
// circle of the given diameter in the substrate plane, as the in-flight
// diagnostics (two-colour pyrometry with time-of-flight velocimetry) report
// the particles crossing theirs.
struct SensorOptions {
    double sizeMm = 3;          // diameter of the measurement volume
    bool atPlumeCentre = true;  // centred on the particles' mean position; else at (xMm, yMm)
    double xMm = 0;             // across the injection plane
    double yMm = 0;             // in the injection plane (+ on the injector's side when side = +1)
};

struct SprayOptions {
    PowderOptions powder;
    InjectionOptions injection;
    ModelOptions model;
    SensorOptions sensor;
    int sizeClasses = 8;       // classes of the size-class table (5 to 10)
    double standoffMm = 100;   // substrate plane, mm from the nozzle exit
    // The substrate: a disc of this radius around the axis in that plane (a
    // plate wider than the plume's deviation at common standoffs); particles
    // crossing the plane beyond it are lost beside it.
    double substrateRadiusMm = 50;
    std::uint64_t seed = 1;    // same seed, same particles, byte for byte
    // Particles are added, a batch at a time, until the molten-arriving and
    // the arriving mass share are known to +- this many percentage points
    // (half-width of the 95 % interval), at most mostParticles of them. 0:
    // the count is fixed, powder.count particles. The programs' default
    // (defaultSprayOptions) is kDefaultPrecisionPoints; a SprayOptions made
    // in code flies its count.
    double precisionPoints = 0;
    int mostParticles = kCountCap;  // the precision rule's cap (kFirstRound to kCountCap; a tune's step has less)
    int threads = 0;           // 0: every core of the machine
    int sampledTrajectories = 20;  // population particles whose trajectory is kept (besides d10/d50/d90)
};

// Ranges the options must lie in. Empty when all are in range, otherwise one
// sentence naming the option and its range. `fieldEndMm` is where the field
// ends (the standoff must lie before it, the injector inside it).
std::string checkOptions(const SprayOptions& options, double fieldEndMm);

// The model choices of a run, one line each: what is used and its reference,
// e.g. "drag: film properties (Boulos, Fauchais and Pfender 1994)". `gasCode`
// is the plasma gas of the jet (for the heat-capacity ratio it implies).
std::vector<std::string> describeModel(const ModelOptions& model, int gasCode);

// The data of a run, one line each: the material row used and the file it
// came from (the packaged table or the working folder's, with its path), and
// the values that decide melting and evaporation (melting and boiling points,
// both latent heats, the vapour-pressure enthalpy). Two runs on different
// rows differ in these lines, not only in their numbers.
std::vector<std::string> describeMaterial(const Material& material);

// ----- What comes out ---------------------------------------------------------

// The powder the particles were drawn from, as the run read it: the
// log-normal of d10/d50/d90 on its basis, a measured distribution (its file
// and the volume quantiles of its classes), or one size.
struct PowderAsSprayed {
    bool singleSize = false;
    std::string distributionFile;  // as given; "" for the log-normal
    SizeBasis basis = SizeBasis::Volume;  // of the quantiles (a measured distribution's are by volume)
    double d10Um = 0, d50Um = 0, d90Um = 0;  // d50Um: the size of a single-size powder
};

// One line: "d10/d50/d90 = 20.0/40.0/70.0 um by volume (log-normal)",
// "d10/d50/d90 = 21.3/39.4/63.2 um by volume, of the measured distribution
// sizes.csv", "one size, 40.0 um".
std::string describePowder(const PowderAsSprayed& powder);

// How a flight ended. Beyond the computed field a particle flies on through
// the still surroundings, so only the substrate, the nozzle exit plane and the
// flight time end it.
enum class ParticleStatus {
    Arrived,        // crossed the substrate plane on the substrate
    Evaporated,     // lost (almost) all of its mass before it
    MissedSide,     // crossed the plane beside the substrate (earlier: left the field beyond 25 mm)
    MissedUpstream, // went back behind the nozzle exit
    FieldEnded,     // reached the end of a field shorter than the plane it was flown to (not in a spray, whose plane is never beyond the field)
    TimedOut,       // still in flight after the longest flight time
};

// "arrived", "evaporated", "missed_side", "missed_upstream", "field_end", "timeout".
const char* statusName(ParticleStatus status);

// State of one particle at one moment.
struct ParticleState {
    double timeMs = 0;
    double axialMm = 0;     // from the nozzle exit
    double radialMm = 0;    // y: signed distance from the axis in the injection plane (+ on the injector's side when side = +1)
    double axialVelocity = 0;   // m/s
    double radialVelocity = 0;  // m/s, along +y
    double velocity = 0;        // m/s, speed
    double outOfPlaneMm = 0;        // x: across the injection plane
    double outOfPlaneVelocity = 0;  // m/s, along +x
    double surfaceTemperature = 0;  // K
    double meanTemperature = 0;     // K, mass-weighted mean
    double coreTemperature = 0;     // K, at the centre
    double moltenFraction = 0;      // of the present mass, 0..1
    double massFraction = 1;        // present mass / initial mass
    double diameterUm = 0;          // present diameter
    double gasTemperature = 0;      // K, plasma temperature at the particle
    double gasVelocity = 0;         // m/s, plasma axial velocity at the particle
};

// One particle at the substrate plane (or where its flight ended).
struct ParticleResult {
    int index = 0;              // 0-based position in the population
    double diameterUm = 0;      // initial diameter
    double injectionVelocity = 0;  // m/s
    ParticleStatus status = ParticleStatus::Arrived;
    ParticleState final;
    double maxSurfaceTemperature = 0;  // K, highest along the flight
    double maxMoltenFraction = 0;      // highest along the flight
    double initialMassKg = 0;
    // Energy bookkeeping of the flight, J.
    double heatFromGas = 0;     // convection from the plasma
    double heatRadiated = 0;    // radiation loss
    double heatOfVapour = 0;    // latent heat and enthalpy carried off by the vapour
    double enthalpyGain = 0;    // change of the particle's own enthalpy
    // Steps whose heat balance the conduction solver could not close to its
    // tolerance (kept at the best state found); 0 in a sound run.
    int unconvergedSteps = 0;
};

// Samples of one trajectory, about one per millimetre of path.
struct Trajectory {
    std::string label;  // "d10", "d50", "d90" or "sample"
    int index = -1;     // population index of a sample, -1 for d10/d50/d90
    double diameterUm = 0;
    ParticleStatus status = ParticleStatus::Arrived;
    std::vector<ParticleState> samples;
};

enum class SprayResult {
    Completed = 0,
    Cancelled = 1,  // the progress callback asked to stop; no particles or paths are kept
    BadInput = 2,   // options or files refused; message says which
};

struct SprayOutcome {
    SprayResult result = SprayResult::Completed;
    std::string message;         // one sentence when result != Completed
    std::string notice;          // a remark on a completed run (a shortened field), or ""
    std::vector<ParticleResult> particles;  // in population order
    std::vector<Trajectory> trajectories;   // d10, d50, d90, then the samples
    double fieldEndMm = 0;       // last cross-section of the field
    int gasCode = 0;             // plasma gas of the jet (ip.dat's code)
    double standoffMm = 0;       // the substrate plane
    Material material;
    PowderAsSprayed powder;      // the sizes the particles were drawn from
    SamplingFacts sampling;      // how many particles were flown, and why
};

// Progress 0..100, percent of the particles planned so far (the count, or
// the precision rule's first round and then the count its interval asks
// for, so it can step back once a round is added); return false to stop.
// Called on the thread that called the run.
using SprayProgress = std::function<bool(int percent)>;

// Runs the spray over a field already read.
SprayOutcome simulateSpray(const JetField& field, const Material& material, const SprayOptions& options,
                           const SprayProgress& progress);

// The spray into a working folder, with its lock, checks and files, is
// sprayIntoFolder (particles/spray_in_folder.h).

} // namespace torvex::particles
