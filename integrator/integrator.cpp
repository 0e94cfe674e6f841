#include "integrator/integrator.h"

#include <cfenv>
#include <cmath>
#include <stdexcept>
#include <string>

#include "core/fpfaults.h"

namespace {

// The right-hand side together with the counters it adds to.
struct Rhs {
    DerivativeFunction f;
    IntegratorStats& stats;
    // The right-hand side takes the fault flags as it finds them, so the flags
    // the step loop's own tests may leave are dropped before each step, as a
    // right-hand side that clears them on entry would drop them.
    bool dropsStaleFaults = false;

    void operator()(const valuearray& y, double t, valuearray& dydx) const {
        ++stats.Evaluations;
        f(y, t, dydx);
    }
};

// Drops the flags of faults that no one reports (the interval tests of the
// step loop), reading them first: clearing costs more than reading.
void DropPendingFaults() {
    if (std::fetestexcept(FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW) != 0) ClearFloatingPointFaults();
}

void CheckEquationCount(std::int32_t n) {
    if (n < 0 || n > MaxStates)
        throw std::out_of_range("Number of equations " + std::to_string(n) + " is outside 0.." +
                                std::to_string(MaxStates));
}

// b^e as exp(e ln b), for b > 0.
double RaisedTo(double b, double e) { return std::exp(e * std::log(b)); }

// Same sign and neither zero: the product a * b > 0 without its overflow or
// underflow.
bool SameSign(double a, double b) { return (a > 0.0 && b > 0.0) || (a < 0.0 && b < 0.0); }

const char* const StepTooSmallInStep = "Step size too small in routine RKQualityControl";
const char* const StepTooSmallInInterval = "Step size too small in routine ODEIntegrator";

// The trial vectors of the steps, zeroed once for a whole interval rather
// than for every step: the steps write only their first n entries, which
// they always write before reading.
struct Workspace {
    valuearray yt, dyt, dym;       // within one Runge-Kutta step
    valuearray halves, whole, dymid;  // the two half steps and the whole step
};

// Classical fourth-order Runge-Kutta step. Each entry of y and dydx is read
// before the same entry of yout is written, so yout may be either of them.
// The integrator's own arithmetic is checked before each evaluation, since the
// evaluation starts from clear fault flags.
void Rk4(const valuearray& y, const valuearray& dydx, int n, double x, double h, valuearray& yout, const Rhs& rhs,
         Workspace& w) {
    const double hh = 0.5 * h;
    const double h6 = h / 6.0;
    const double xh = x + hh;
    valuearray &yt = w.yt, &dyt = w.dyt, &dym = w.dym;
    for (int i = 1; i <= n; ++i) yt[i] = y[i] + hh * dydx[i];
    CheckFloatingPointFaults();
    rhs(yt, xh, dyt);
    for (int i = 1; i <= n; ++i) yt[i] = y[i] + hh * dyt[i];
    CheckFloatingPointFaults();
    rhs(yt, xh, dym);
    for (int i = 1; i <= n; ++i) {
        yt[i] = y[i] + h * dym[i];
        dym[i] = dyt[i] + dym[i];
    }
    const double xe = x + h;
    CheckFloatingPointFaults();
    rhs(yt, xe, dyt);
    for (int i = 1; i <= n; ++i) yout[i] = y[i] + h6 * (dydx[i] + dyt[i] + 2.0 * dym[i]);
    CheckFloatingPointFaults();
}

void QualityStep(valuearray& y, const valuearray& dydx, int n, double& x, double htry, double eps,
                 const valuearray& yscale, double& hdid, double& hnext, const Rhs& rhs, Workspace& w) {
    const double xsav = x;
    double h = htry;
    double xnew = xsav;
    double errmax = 0.0;
    valuearray &halves = w.halves, &whole = w.whole, &dymid = w.dymid;
    for (;;) {
        try {
            const double hh = 0.5 * h;
            Rk4(y, dydx, n, xsav, hh, halves, rhs, w);
            const double xmid = xsav + hh;
            CheckFloatingPointFaults();
            rhs(halves, xmid, dymid);
            Rk4(halves, dymid, n, xmid, hh, halves, rhs, w);
            xnew = xsav + h;
            if (xnew == xsav) throw EStepTooSmall(StepTooSmallInStep);
            Rk4(y, dydx, n, xsav, h, whole, rhs, w);

            // whole becomes the error estimate: two half steps minus one whole step.
            errmax = 0.0;
            bool undefined = false;
            for (int i = 1; i <= n; ++i) {
                whole[i] = halves[i] - whole[i];
                const double e = std::fabs(whole[i] / yscale[i]);
                if (e > errmax) errmax = e;
                else if (std::isnan(e)) undefined = true;
            }
            errmax = errmax / eps;
            CheckFloatingPointFaults();
            // A NaN that came in without a fault (a NaN state) would pass every
            // test below; it is an invalid operation all the same.
            if (undefined || std::isnan(errmax)) throw EInvalidOp();
            if (errmax <= 1.0) break;
            h = rk::Safety * h * RaisedTo(errmax, rk::ShrinkPower);
            CheckFloatingPointFaults();
        } catch (const EZeroDivide&) {
            h = 0.5 * h;
            // Without this the halving could go on for ever when every attempt
            // divides by zero before its step-size test.
            if (xsav + h == xsav) throw EStepTooSmall(StepTooSmallInStep);
        }
    }
    const double next =
        errmax > rk::GrowThreshold ? rk::Safety * h * RaisedTo(errmax, rk::GrowPower) : rk::GrowLimit * h;
    for (int i = 1; i <= n; ++i) halves[i] = halves[i] + whole[i] * rk::Correction;
    CheckFloatingPointFaults();
    for (int i = 1; i <= n; ++i) y[i] = halves[i];
    x = xnew;
    hdid = h;
    hnext = next;
}

void Integrate(valuearray& ystart, std::int32_t nvar, double& h1, double x1, double x2, double eps, double hmin,
               std::int32_t& nok, std::int32_t& nbad, const Rhs& rhs) {
    CheckEquationCount(nvar);
    ClearFloatingPointFaults();
    double x = x1;
    double h = x2 > x1 ? std::fabs(h1) : -std::fabs(h1);
    nok = 0;
    nbad = 0;
    valuearray y = ystart;
    valuearray dydx, yscale;
    Workspace work;
    for (std::int32_t step = 1; step <= rk::MaxSteps; ++step) {
        if (rhs.dropsStaleFaults) DropPendingFaults();
        rhs(y, x, dydx);
        // A state near 0 is measured against eps rather than its own size.
        for (int i = 1; i <= nvar; ++i) {
            const double a = std::fabs(y[i]) > eps ? std::fabs(y[i]) : std::fabs(eps);
            yscale[i] = a + std::fabs(dydx[i] * h) + rk::ScaleAddend;
        }
        CheckFloatingPointFaults();

        // The last step lands exactly on x2.
        const double planned = h;
        const bool landing = SameSign(x + h - x2, x + h - x1);
        if (landing) h = x2 - x;

        double hdid = 0.0, hnext = 0.0;
        QualityStep(y, dydx, nvar, x, h, eps, yscale, hdid, hnext, rhs, work);
        if (hdid == h) {
            ++nok;
            ++rhs.stats.NOk;
        } else {
            ++nbad;
            ++rhs.stats.NBad;
        }

        if (x - x2 == 0.0 || x2 - x1 == 0.0 || SameSign(x - x2, x2 - x1)) {
            ystart = y;
            // A landing step may be tiny; its suggestion would make the next
            // interval start below the smallest step. The step it replaced was
            // fine for the problem, so that is handed on when it is larger.
            h1 = landing && std::fabs(planned) > std::fabs(hnext) ? planned : hnext;
            return;
        }
        if (std::fabs(hnext) < hmin) throw EStepTooSmall(StepTooSmallInInterval);
        h = hnext;
    }
    throw ETooManySteps();
}

}  // namespace

void RK4Step(const valuearray& Y, const valuearray& DYDX, std::int32_t N, double X, double H, valuearray& YOut,
             DerivativeFunction derivs, IntegratorStats* stats) {
    CheckEquationCount(N);
    IntegratorStats local;
    ClearFloatingPointFaults();
    Workspace work;
    Rk4(Y, DYDX, N, X, H, YOut, Rhs{derivs, stats ? *stats : local}, work);
}

void RKQualityControl(valuearray& Y, valuearray& DYDX, std::int32_t N, double& X, double HTry, double Eps,
                      const valuearray& YScale, double& HDid, double& HNext, DerivativeFunction derivs,
                      IntegratorStats* stats) {
    CheckEquationCount(N);
    IntegratorStats local;
    ClearFloatingPointFaults();
    Workspace work;
    QualityStep(Y, DYDX, N, X, HTry, Eps, YScale, HDid, HNext, Rhs{derivs, stats ? *stats : local}, work);
}

void ODEIntegrator(valuearray& YStart, std::int32_t NVar, double& H1, double X1, double X2, double Eps,
                   double HMin, std::int32_t& NOk, std::int32_t& NBad, DerivativeFunction derivs,
                   IntegratorStats* stats) {
    IntegratorStats local;
    Integrate(YStart, NVar, H1, X1, X2, Eps, HMin, NOk, NBad, Rhs{derivs, stats ? *stats : local});
}

void ODEIntegrator(valuearray& YStart, std::int32_t NVar, double& H1, double X1, double X2, double Eps, double HMin,
                   std::int32_t& NOk, std::int32_t& NBad, DerivativeFunction derivs, IntegratorStats* stats,
                   RhsFlags flags) {
    IntegratorStats local;
    Integrate(YStart, NVar, H1, X1, X2, Eps, HMin, NOk, NBad,
              Rhs{derivs, stats ? *stats : local, flags == RhsFlags::ClearBeforeEachStep});
}
