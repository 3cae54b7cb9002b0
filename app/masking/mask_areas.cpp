#include "mask_areas.h"

#include <algorithm>

QPoint MaskAreas::point(int area, int point) const
{
    if (!validArea(area) || !validPoint(point))
        return {};
    return maskPoints[area][point];
}

void MaskAreas::setPoint(int area, int point, QPoint position)
{
    if (validArea(area) && validPoint(point))
        maskPoints[area][point] = position;
}

int MaskAreas::shownPointCount(int area) const
{
    if (maskPointsEntered > 0 && area == maskCurrentArea)
        return maskPointsEntered;
    return pointCount(area);
}

int16_t MaskAreas::startArea()
{
    if (!canStartArea())
        return 0;
    ++maskAreaCount;
    return maskAreaCount;
}

bool MaskAreas::enterPoint(QPoint position)
{
    if (!validArea(maskCurrentArea))
        return false;
    auto &points = maskPoints[maskCurrentArea];
    bool dropped = false;
    if (maskPointsEntered >= maskPointLimit) {
        std::move(points.begin() + 1, points.begin() + maskPointLimit, points.begin());
        maskPointsEntered = maskPointLimit - 1;
        dropped = true;
    }
    points[maskPointsEntered] = position;
    ++maskPointsEntered;
    return dropped;
}

void MaskAreas::commitEnteredArea()
{
    if (maskNewArea && validArea(maskAreaCount))
        maskPointCount[maskAreaCount] = maskPointsEntered;
}

void MaskAreas::finishEntering()
{
    maskPointsEntered = 0;
    maskNewArea = false;
}

bool MaskAreas::deleteArea(int area)
{
    if (area < 1 || area > maskAreaCount)
        return false;
    // Deleting the area still being entered ends its entry; otherwise its
    // points would be committed to the area below it at the next "Draw".
    if (maskNewArea && area == maskAreaCount)
        finishEntering();
    if (area == maskAreaCount) {
        maskPointCount[area] = 0;
    } else {
        for (int later = area; later < maskAreaCount; ++later) {
            maskPointCount[later] = maskPointCount[later + 1];
            maskPoints[later] = maskPoints[later + 1];
            maskInside[later] = maskInside[later + 1];
        }
        // The last place is free now; a stale copy there would come back
        // as soon as a new area is started in it.
        maskPointCount[maskAreaCount] = 0;
    }
    --maskAreaCount;
    return true;
}

void MaskAreas::clearAll()
{
    maskPointCount.fill(0);
    maskAreaCount = 0;
    finishEntering();
}

void MaskAreas::takeAreas(const MaskAreas &other)
{
    maskAreaCount = other.maskAreaCount;
    maskPointCount = other.maskPointCount;
    maskInside = other.maskInside;
    maskPoints = other.maskPoints;
}
