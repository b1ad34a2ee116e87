#pragma once

#include "model/Triode.h"

#include <array>
#include <cmath>

namespace valvix::fit {

// The five model parameters as the fit moves them: natural logarithms of Mu, Ex, Kg1,
// Kp and Kvb, so that a step means the same share of every parameter.
using LogParameters = std::array<double, 5>;
enum Index { MuAt, ExAt, Kg1At, KpAt, KvbAt };

inline LogParameters ToLog(const TriodeParameters& p) {
    return {std::log(double(p.Mu)), std::log(double(p.Ex)), std::log(double(p.Kg1)),
            std::log(double(p.Kp)), std::log(double(p.Kvb))};
}

// Back to Singles, as the design holds them.
inline TriodeParameters FromLog(const LogParameters& p) {
    return {float(std::exp(p[MuAt])), float(std::exp(p[ExAt])), float(std::exp(p[Kg1At])),
            float(std::exp(p[KpAt])), float(std::exp(p[KvbAt]))};
}

// Plate current (amps) and its rise with the plate voltage (amps per volt).
template <class T> struct ModelPoint {
    T amps;
    T slope;
};

// The plate-current equation of the curves, in double precision for any number type T
// (automatic derivatives pass their own): E1 = Vp / Kp * ln(1 + e^a) with
// a = Kp * (1 / Mu + Vg / sqrt(Kvb + Vp^2)), Ip = 2 * E1^Ex / Kg1. Worked through
// logarithms so that neither a far cut-off nor a steep rise overflows. vp > 0; it may be
// of type T too, where the plate voltage itself depends on the parameters.
template <class T, class V = double> ModelPoint<T> ModelAt(const T* logp, V vp, double vg) {
    using std::exp;
    using std::log;
    using std::log1p;
    using std::sqrt;
    const T mu = exp(logp[MuAt]);
    const T ex = exp(logp[ExAt]);
    const T kp = exp(logp[KpAt]);
    const T s = sqrt(exp(logp[KvbAt]) + T(vp * vp));
    const T a = kp * (1.0 / mu + vg / s);
    const T aRise = -kp * vg * vp / (s * s * s); // da / dVp
    // ln(1 + e^a), its logarithm, and the share e^a / (1 + e^a) / ln(1 + e^a).
    T softplus;
    T logSoftplus;
    T share;
    if (a < -30.0) {
        softplus = exp(a);
        logSoftplus = a;
        share = T(1.0);
    } else {
        softplus = a > 30.0 ? a + log1p(exp(-a)) : log1p(exp(a));
        logSoftplus = log(softplus);
        share = 1.0 / (1.0 + exp(-a)) / softplus;
    }
    const T logE1 = T(log(vp)) - logp[KpAt] + logSoftplus;
    const T amps = exp(std::log(2.0) + ex * logE1 - logp[Kg1At]);
    // d ln(E1) / dVp = 1 / Vp + share * da / dVp.
    const T slope = amps * ex * (T(1.0 / vp) + share * aRise);
    return {amps, slope};
}

// The same equation with its parameters worked out once, for sampling many points.
class Model final {
public:
    explicit Model(const LogParameters& p)
        : m_invMu(std::exp(-p[MuAt])), m_ex(std::exp(p[ExAt])), m_kp(std::exp(p[KpAt])),
          m_kvb(std::exp(p[KvbAt])), m_gain(2 * std::exp(-p[Kg1At])) {}

    // Plate current; 0 at 0 V and below.
    double amps(double vp, double vg) const { return at(vp, vg, false).amps; }
    // Current and its rise with the plate voltage.
    ModelPoint<double> at(double vp, double vg, bool withSlope = true) const {
        if (!(vp > 0)) {
            return {0.0, 0.0};
        }
        const double s = std::sqrt(m_kvb + vp * vp);
        const double a = m_kp * (m_invMu + vg / s);
        const double softplus = a > 30 ? a : a < -30 ? std::exp(a) : std::log1p(std::exp(a));
        const double e1 = vp / m_kp * softplus;
        const double amps = m_gain * std::pow(e1, m_ex);
        if (!withSlope) {
            return {amps, 0.0};
        }
        const double share = a < -30 ? 1.0 : 1.0 / (1.0 + std::exp(-a)) / softplus;
        const double aRise = -m_kp * vg * vp / (s * s * s);
        return {amps, amps * m_ex * (1.0 / vp + share * aRise)};
    }

private:
    double m_invMu;
    double m_ex;
    double m_kp;
    double m_kvb;
    double m_gain;
};

inline double ModelAmps(const LogParameters& p, double vp, double vg) {
    return Model(p).amps(vp, vg);
}

} // namespace valvix::fit
