#pragma once

#include <QPoint>

#include <array>
#include <cstdint>

// The polygon areas of the mask editor and the state of the area being
// entered. The tables have fixed sizes because the point files and the
// editor's spinners are built around them; every index is checked so that
// nothing is ever written past their ends.
class MaskAreas {
public:
    static constexpr int maxAreas = 32;        // areas are numbered 1..32
    static constexpr int16_t maskPointLimit = 128; // points are numbered 0..127

    // The stored areas ---------------------------------------------------
    int16_t maskAreaCount = 0;
    std::array<int16_t, maxAreas + 1> maskPointCount{};
    std::array<bool, maxAreas + 1> maskInside{};
    std::array<std::array<QPoint, maskPointLimit + 1>, maxAreas + 1> maskPoints{};

    // The area being entered ---------------------------------------------
    int16_t maskPointsEntered = 0;
    int16_t maskCurrentArea = 0;
    bool maskNewArea = false;
    int16_t maskCursorX = 0;
    int16_t maskCursorY = 0;

    static bool validArea(int area) { return area >= 0 && area <= maxAreas; }
    static bool validPoint(int point) { return point >= 0 && point < maskPointLimit; }

    int pointCount(int area) const { return validArea(area) ? maskPointCount[area] : 0; }
    bool inside(int area) const { return validArea(area) && maskInside[area]; }
    QPoint point(int area, int point) const;
    // Moves one stored point; indices outside the tables are ignored.
    void setPoint(int area, int point, QPoint position);

    // How many points of `area` are on show: those clicked so far while it
    // is being entered, else its stored count.
    int shownPointCount(int area) const;

    // True when another area fits in the tables.
    bool canStartArea() const { return maskAreaCount < maxAreas; }
    // Counts a new area and returns its number; 0 when the tables are full.
    int16_t startArea();

    // Stores `position` as the next point of the current area. At the limit
    // the oldest point gives way, so the newest 128 are kept. Returns true
    // when a point was dropped.
    bool enterPoint(QPoint position);

    // What "Draw" does to the tables before it paints: the area just entered
    // takes the number of points clicked for it.
    void commitEnteredArea();
    // Entering ends (after a "Draw" or when a file replaces the areas).
    void finishEntering();

    // Removes `area`: later areas (points, counts and inside flags) move
    // down one place. Returns false, changing nothing, when there is no such
    // area (0, or a number past the last one).
    bool deleteArea(int area);

    // Forgets every area and the one being entered.
    void clearAll();

    // Takes the stored areas of `other` (a table read from a file) and
    // leaves the entering state alone.
    void takeAreas(const MaskAreas &other);

    bool operator==(const MaskAreas &) const = default;
};
