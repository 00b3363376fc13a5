// Fitting the engine's pull: least squares over every measurement at once, the curve's values
// at its knots and the two drag terms the unknowns, solved through Cholesky's factor.

#include "analysis/PullCurve.h"

#include <cmath>

namespace velkor {

using namespace runs;

double residual(const PullCurve& curve, const Pull& pull) {
    const double model =
        pull.ratio * curve.at(pull.rpm) - curve.drag0 - curve.drag2 * pull.speed * pull.speed;
    return (pull.accel - model) * std::sqrt(pull.weight);
}

void substitute(const std::vector<double>& l, int m, std::vector<double>& b, bool back) {
    const auto at = [&l, m](int r, int c) { return l[std::size_t(r * m + c)]; };
    for (int i = 0; i < m; ++i) {
        for (int k = 0; k < i; ++k) {
            b[std::size_t(i)] -= at(i, k) * b[std::size_t(k)];
        }
        b[std::size_t(i)] /= at(i, i);
    }
    for (int i = m - 1; back && i >= 0; --i) {
        for (int k = i + 1; k < m; ++k) {
            b[std::size_t(i)] -= at(k, i) * b[std::size_t(k)];
        }
        b[std::size_t(i)] /= at(i, i);
    }
}

namespace {

// Cholesky's factor of the symmetric positive definite m by m matrix `a` (row by row), in
// place in its lower triangle; false when `a` is not positive definite.
bool factorise(std::vector<double>& a, int m) {
    const auto at = [&a, m](int r, int c) -> double& { return a[std::size_t(r * m + c)]; };
    for (int j = 0; j < m; ++j) {
        for (int i = j; i < m; ++i) {
            double v = at(i, j);
            for (int k = 0; k < j; ++k) {
                v -= at(i, k) * at(j, k);
            }
            if (i == j && !(v > 0)) {
                return false;
            }
            at(i, j) = i == j ? std::sqrt(v) : v / at(j, j);
        }
    }
    return true;
}

// Adds a row of the least-squares problem, `value` = row . x with this weight, to the normal
// equations a x = b.
template <std::size_t N>
void addRow(std::vector<double>& a, std::vector<double>& b, int m, const int (&index)[N],
            const double (&row)[N], double weight, double value) {
    for (std::size_t r = 0; r < N; ++r) {
        for (std::size_t c = 0; c < N; ++c) {
            a[std::size_t(index[r] * m + index[c])] += weight * row[r] * row[c];
        }
        b[std::size_t(index[r])] += weight * row[r] * value;
    }
}

// Least squares over the pulls that count: the misfit of every measurement by its weight, plus
// a price on bending the curve between neighbouring knots.
bool fitCurve(const std::vector<Pull>& pulls, const std::vector<bool>& counts, PullCurve& curve) {
    const int knots = curve.knotCount();
    const int m = knots + 2;
    std::vector<double> a(std::size_t(m * m), 0.0);
    std::vector<double> b(std::size_t(m), 0.0);
    double totalWeight = 0;
    int used = 0;
    for (std::size_t p = 0; p < pulls.size(); ++p) {
        if (!counts[p]) {
            continue;
        }
        const Pull& pull = pulls[p];
        double share = 0;
        const int k = curve.intervalOf(pull.rpm, share);
        const int index[4] = {k, k + 1, knots, knots + 1};
        const double row[4] = {pull.ratio * (1 - share), pull.ratio * share, -1.0,
                               -pull.speed * pull.speed};
        addRow(a, b, m, index, row, pull.weight, pull.accel);
        totalWeight += pull.weight;
        ++used;
    }
    if (used <= m) {
        return false;
    }
    const double bend = PullSmoothing * totalWeight / used;
    for (int k = 1; k + 1 < knots; ++k) {
        const int index[3] = {k - 1, k, k + 1};
        const double row[3] = {1.0, -2.0, 1.0};
        addRow(a, b, m, index, row, bend, 0);
    }
    if (!factorise(a, m)) {
        return false;
    }
    substitute(a, m, b, true);
    if (!std::all_of(b.begin(), b.end(), [](double x) { return std::isfinite(x); })) {
        return false;
    }
    std::copy(b.begin(), b.begin() + knots, curve.knots.begin());
    curve.drag0 = b[std::size_t(knots)];
    curve.drag2 = b[std::size_t(knots + 1)];
    curve.factor = std::move(a);
    double misfit = 0;
    for (std::size_t p = 0; p < pulls.size(); ++p) {
        misfit += counts[p] ? std::pow(residual(curve, pulls[p]), 2) : 0;
    }
    curve.scatter = misfit / (used - m);
    return true;
}

}  // namespace

// Fits the curve, then again without the measurements the first fit cannot explain.
bool fitRobustly(const std::vector<Pull>& pulls, PullCurve& curve) {
    std::vector<bool> counts(pulls.size(), true);
    if (!fitCurve(pulls, counts, curve)) {
        return false;
    }
    std::vector<double> misfit(pulls.size());
    for (std::size_t p = 0; p < pulls.size(); ++p) {
        misfit[p] = std::fabs(residual(curve, pulls[p]));
    }
    std::vector<double> sorted = misfit;
    const auto middle = sorted.begin() + std::ptrdiff_t(sorted.size() / 2);
    std::nth_element(sorted.begin(), middle, sorted.end());
    const double sigma = 1.4826 * *middle;  // the normal distribution's, from the median
    if (!(sigma > 0)) {
        return true;
    }
    bool dropped = false;
    for (std::size_t p = 0; p < pulls.size(); ++p) {
        if (misfit[p] > PullOutlierSigmas * sigma) {
            counts[p] = false;
            dropped = true;
        }
    }
    return !dropped || fitCurve(pulls, counts, curve);
}

}  // namespace velkor
