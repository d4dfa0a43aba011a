#include "tests/play_soak/soak_input.h"

#include <cmath>
#include <random>
#include <sstream>
#include <vector>

namespace soak {

namespace {

class Writer {
public:
    explicit Writer(double frameSeconds) : frameSeconds(frameSeconds) {}

    // Events at one time keep the order they were written in; a script's frames may not go
    // back, so a time before the last one written is moved up to it.
    void at(double seconds, const std::string& event) {
        long frame = std::lround(seconds / frameSeconds) + 1;
        frame = std::max(frame, last);
        last = frame;
        text << frame << ' ' << event << '\n';
    }
    void click(double seconds, const Point& p) {
        at(seconds, "click " + std::to_string(p.x) + " " + std::to_string(p.y));
    }

    std::ostringstream text;
    long last = 1;

private:
    double frameSeconds;
};

}  // namespace

Script randomScript(const InputPlan& plan) {
    std::mt19937 random(plan.seed);
    auto uniform = [&random](double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(random);
    };
    auto chance = [&random](double p) { return std::bernoulli_distribution(p)(random); };

    Writer out(plan.frameSeconds);
    Script script;
    const char* throttles[] = {"UP", "UP", "UP", "DOWN", nullptr};
    const char* steers[] = {"LEFT", "RIGHT", nullptr, nullptr};
    double t = 0.5;
    while (t < plan.seconds) {
        const double roll = uniform(0.0, 1.0);
        if (roll < 0.70) {
            // A stretch of driving: the keys go down together and come up at its end.
            const double length = uniform(0.3, 5.0);
            std::vector<std::string> held;
            if (const char* key = throttles[random() % 5]) {
                held.push_back(key);
            }
            if (const char* key = steers[random() % 4]) {
                held.push_back(key);
            }
            if (chance(0.1)) {
                held.push_back("SPACE");
            }
            for (const std::string& key : held) {
                out.at(t, "down " + key);
            }
            t += length;
            for (const std::string& key : held) {
                out.at(t, "up " + key);
            }
        } else if (roll < 0.78) {
            out.at(t, chance(0.5) ? "press V" : "press F7");
            t += uniform(0.2, 2.0);
        } else if (roll < 0.85) {
            out.at(t, chance(0.5) ? "press TAB" : "press C");
            t += uniform(0.5, 4.0);
            const char* closers[] = {"press TAB", "press C", "press ESCAPE"};
            out.at(t, closers[random() % 3]);
            t += 0.2;
        } else if (roll < 0.93) {
            out.at(t, "press ESCAPE");
            t += uniform(0.5, 3.0);
            if (chance(0.5)) {
                out.click(t, plan.continueRow);
            } else {
                out.at(t, "press ESCAPE");
            }
            t += 0.2;
        } else if (roll < 0.97) {
            // The help page, left with Escape.
            out.at(t, chance(0.5) ? "press H" : "press ESCAPE");
            t += uniform(0.5, 2.0);
            out.at(t, "press ESCAPE");
            t += 0.2;
        } else if (roll < 0.98) {
            out.at(t, "press ESCAPE");
            t += uniform(0.5, 2.0);
            out.click(t, plan.restartRow);
            ++script.restartsAsked;
            t += 0.5;
        } else {
            // Hands off for a while: the clock may run out.
            t += uniform(2.0, 20.0);
        }
    }
    script.text = out.text.str();
    script.frames = out.last;
    return script;
}

}  // namespace soak
