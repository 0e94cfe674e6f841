// Terms of the equations that depend only on the drivers, the parameters and
// the day counter: the mean air temperature, the Penman terms, the day length,
// the temperature responses and the Q10 factor. Within one step of a run the
// drivers hold, so every evaluation of the step would work out the same
// values; a frame keeps them and works them out again only when the day
// counter it sees changes (the annual reset sets it to 0 at the run's start).
//
// They are worked out exactly as the sections would, each section's terms
// with the fault flags checked apart. Terms whose working-out raised a flag
// are never kept: they are worked out again at the next evaluation, and the
// flags are raised again for the section they belong to, so an evaluation
// faults as it would without them.
#pragma once

struct ModelFrame;

// The sections in the order EvaluateModel runs them.
enum class Section : int {
    Weather,
    Photosynthesis,
    SoilSolution,
    Uptake,
    Litterfall,
    Growth,
    Decomposition,
    Totals,
    Count,
};

struct DayTerms {
    // Weather and soil water.
    double Ta;           // mean air temperature
    double PsyC;         // psychrometric constant
    double SvpSlope;     // slope of the saturation vapour pressure
    double Vpd;          // vapour pressure deficit
    double LatentHeat;
    double VpdClosure;   // exp(-0.01464 Vpd): stomatal closure by the deficit
    double EtNumerator;  // radiation and deficit terms of the Penman-Monteith equation
    double LatRad, DeclRad;
    double Hd;           // day length
    // Photosynthesis.
    double WarmCapacity;        // exp(0.004 Tamax)
    double ConductanceDivisor;  // 0.6 omegaS + 0.5 (Tamax - Tamin)
    // Uptake: temperature response of root uptake.
    double HU;
    // Litterfall: the evergreen amounts raised to their shape exponents, and
    // the reciprocal exponents.
    double CfePower, CwePower, CrePower;
    double InvSigmaF, InvSigmaW, InvSigmaR;
    // Growth and respiration: responses at the mean air and the soil temperature.
    double HRair, HR;
    // Decomposition: Q10D^(Ts/10).
    double Q10Factor;

    // Fault flags raised working out the terms of each section.
    int Faults[static_cast<int>(Section::Count)];

    // Works the terms out for the frame's drivers, parameters and day counter,
    // unless they are in place for that day counter already. The fault flags
    // must be clear; they are clear again afterwards.
    void Prepare(const ModelFrame& f);
    // Works the terms out whatever is in place (the frame's drivers or
    // parameters changed).
    void Work(const ModelFrame& f);
    // The flags raised working out any term.
    int AllFaults() const;

private:
    bool kept_ = false;
    double day_ = 0.0;
};
