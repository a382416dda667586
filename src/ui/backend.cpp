#include "ui/backend.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "sys/console.h"
#include "ui/headless/headless.h"
#include "ui/messages.h"

namespace ui {

namespace {

Backend* g_backend = nullptr;

std::vector<BackendFactory>& registered() {
    static std::vector<BackendFactory> list;
    return list;
}

// Every back end that vsZEB knows, in the order of preference.
constexpr std::array<std::string_view, 3> kKnownBackends = {"win32", "fltk", "headless"};

std::size_t rank(std::string_view name) {
    return static_cast<std::size_t>(std::find(kKnownBackends.begin(), kKnownBackends.end(), name) -
                                    kKnownBackends.begin());
}

}  // namespace

Backend& backend() {
    if (!g_backend) {
        sys::writeErrorLine(msg::kNoBackend);
        std::abort();
    }
    return *g_backend;
}

Backend* setBackend(Backend* b) {
    Backend* previous = g_backend;
    g_backend = b;
    return previous;
}

BackendRegistration::BackendRegistration(BackendFactory factory) { registered().push_back(factory); }

std::vector<BackendFactory> availableBackends() {
    std::vector<BackendFactory> list = registered();
    list.push_back({"headless", [](std::string&) { return std::unique_ptr<Backend>(new HeadlessBackend); },
                    [](bool) { return true; }});
    std::stable_sort(list.begin(), list.end(),
                     [](const BackendFactory& a, const BackendFactory& b) { return rank(a.name) < rank(b.name); });
    return list;
}

BackendChoice chooseBackend(const std::vector<BackendFactory>& available, std::string_view uiVariable,
                            bool displaySet) {
    BackendChoice choice;
    for (const auto& f : available) {
        if (uiVariable.empty() ? f.isDefault(displaySet) : f.name == uiVariable) {
            choice.factory = &f;
            return choice;
        }
    }
    if (uiVariable.empty() || rank(uiVariable) < kKnownBackends.size())
        choice.error = msg::backendNotBuilt(uiVariable);
    else
        choice.error = msg::unknownBackend(uiVariable);
    return choice;
}

}  // namespace ui
