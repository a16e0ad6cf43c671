// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

class RegistryAccess;
struct AppInfo;

// The graph window's stored state, size and position in twips.
struct GraphPlacementValues
{
    int32_t state = 0; // 0 normal, 2 maximised
    int32_t height = 6000;
    int32_t width = 12000;
    int32_t top = 0;
    int32_t left = 0;

    friend bool operator==(const GraphPlacementValues&, const GraphPlacementValues&) = default;
};

// Reads and writes the graph window's placement values, shared by all profiles.
class GraphPlacement
{
public:
    static constexpr int32_t Normal = 0;
    static constexpr int32_t Minimised = 1;
    static constexpr int32_t Maximised = 2;
    static constexpr int32_t MinimumHeight = 4000;
    static constexpr int32_t MinimumWidth = 8000;

    GraphPlacement(const AppInfo& app, RegistryAccess& registry);

    // Missing values take their defaults: the window sits 500 twips above the main window
    // (at 200 when there is no room) at its left edge; a state other than 2 reads as normal.
    GraphPlacementValues load(int32_t mainTop, int32_t mainLeft);
    // The state always; size and position only in the normal state, so a maximised window
    // keeps the last normal ones. Failed writes are passed over.
    void save(const GraphPlacementValues& values);

private:
    const AppInfo& m_app;
    RegistryAccess& m_registry;
};
