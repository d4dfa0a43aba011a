#include "font/text_record.h"

#include <atomic>

namespace {

std::atomic<bool> recording{false};

std::deque<d3dx9::TextDraw>& records() {
    static std::deque<d3dx9::TextDraw> draws;
    return draws;
}

}  // namespace

namespace d3dx9 {

void recordTextDraw(d3dx9::TextDraw draw) {
    auto& draws = records();
    draws.push_back(std::move(draw));
    while (draws.size() > d3dx9::kMaxTextDraws) {
        draws.pop_front();
    }
}

}  // namespace d3dx9

namespace d3dx9 {

void setTextRecording(bool on) {
    recording.store(on, std::memory_order_relaxed);
}

bool textRecording() {
    return recording.load(std::memory_order_relaxed);
}

const std::deque<TextDraw>& textDraws() {
    return records();
}

void clearTextDraws() {
    records().clear();
}

}  // namespace d3dx9
