// Observation points of a project beyond the first: a pumping test read in up
// to four piezometers, each with its name, distance, position (fracture or
// matrix), weight in the objective and its own measured times and values.
//
// The first point stays where a project of one point keeps it: its distance
// and position in OBSV (ROBS(1), IPOS(1)), its data in the document's point
// lists. The settings of the others (and the name and weight of the first)
// are stored in the project file only when there is more than one point, as a
// second tagged block after the options block (or, without options, right
// after the borehole-name block):
//
//   4 bytes tag "WFPT", int32 version 1, int32 byte length of the fields, fields:
//   float32 weight of point 1, int32 name length n, n bytes name of point 1,
//   int32 number of further points k (1..3), then per point float32 distance,
//   int32 position (1 fracture, 2 matrix), float32 weight, int32 mesh node
//   (NODOBS, 0 before a mesh run), int32 name length n, n name bytes
//   (little-endian; names at most 20 characters).
//
// The block is framed by the project file's tagged-block codec
// (tagged_blocks.h): a reader that does not know the tag skips it by its
// length, and a block of another version is skipped.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "status.h"

namespace wf::doc {

inline constexpr std::string_view kPointsTag{"WFPT", 4};
inline constexpr int32_t kPointsVersion = 1;
inline constexpr int kMaxObservationPoints = 4;
// The position (IPOS) of a point at the pumped well of the fine model: the
// water level in the well; only the first point, at the well radius.
inline constexpr int32_t kPositionAtWell = 3;
// The name line of each point in the test-data file is read as 20 characters.
inline constexpr std::size_t kMaxPointName = 20;

struct ObservationPoint {
    std::string name;
    float distance = 1.0f;  // distance unit
    int32_t position = 1;   // 1 fracture, 2 matrix
    float weight = 1.0f;
    int32_t node = 0;       // NODOBS: mesh node of the point (set by the mesh run)
    std::vector<std::string> times, values;  // as entered
};

// Settings of the points as the project file's block holds them (no data).
struct PointSettings {
    std::string firstName;
    float firstWeight = 1.0f;
    std::vector<ObservationPoint> further;  // 1..3 entries; data empty
};

// The fields of the points block (without tag, version and length).
std::string encodePointsFields(const PointSettings& settings);

// Reads the fields of a version-1 points block. A cut or unsound block (a
// position other than 1 or 2, a weight not above 0, a distance not above 0,
// two further points at one distance) is refused naming the file and the field.
Status decodePointsFields(std::string_view fields, PointSettings& settings, const std::string& fileName);

// The points must be 1 to 4, at distinct distances above 0.0625 (the mesh's
// first radius), with positions 1 or 2 and weights above 0; names at most 20
// characters. The first point may be at the pumped well (kPositionAtWell,
// any distance above 0: the mesh run checks it against the well radius).
// The message names the point.
Status checkObservationPoints(const std::vector<ObservationPoint>& points);

// Sorts the points by ascending distance (the mesh run needs them so; stable
// for equal distances). Returns a note naming the new order when the order
// changed, else an empty text.
std::string sortByDistance(std::vector<ObservationPoint>& points);

} // namespace wf::doc
