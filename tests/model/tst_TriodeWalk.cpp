#include "model/Triode.h"

#include <QtTest>

#include <tuple>

using namespace valvix;

// The walk works the plate-voltage terms out once per column; every sample must keep the
// exact bits it had when each point was worked out on its own. The fingerprints (FNV-1a
// over the bytes of every sample: 11011 and 29029 samples) were taken from that earlier
// walk.
class tst_TriodeWalk final : public QObject {
    Q_OBJECT
private slots:
    void samplesKeepTheirBits() {
        const std::tuple<TriodeParameters, CurveFamily, float, quint64> rows[] = {
            // 872 points overflow and keep the current before them, the first ones 0.25
            {{100, 1.4f, 1060, 10000, 300}, {250, 5, -5, 1}, 0.25f, 0x709ba046c98e8a9c},
            // nearly every point fails: E1 to the power 100 overflows
            {{1, 100, 0.001f, 1, 1e-3f}, {1000, 10, -10, 0.7f}, 0, 0x47e1a69f07756ff3},
        };
        for (auto [p, family, lastGood, fingerprint] : rows) {
            quint64 hash = 1469598103934665603U;
            CurveFamilyWalk(family, p, lastGood, [&](const FamilySample& s) {
                const auto* bytes = reinterpret_cast<const unsigned char*>(&s);
                for (std::size_t i = 0; i < sizeof s; ++i) {
                    // The sample's four 4-byte fields fill all its bytes: none is undefined.
                    // NOLINTNEXTLINE(clang-analyzer-core.UndefinedBinaryOperatorResult)
                    hash = (hash ^ bytes[i]) * 1099511628211U;
                }
            });
            QCOMPARE(hash, fingerprint);
        }
    }
};

QTEST_APPLESS_MAIN(tst_TriodeWalk)
#include "tst_TriodeWalk.moc"
