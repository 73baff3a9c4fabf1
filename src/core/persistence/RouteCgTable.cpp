#include "persistence/RouteCgTable.h"

namespace shiori {
namespace {

constexpr CgStep kRoute1[] = {
    {3107, "\\log\\0026.log"}, {3185, "\\log\\0027.log"}, {725, "\\log\\0028.log"},  {3195, "\\log\\0029.log"},
    {3198, "\\log\\0030.log"}, {3189, "\\log\\0031.log"}, {3192, "\\log\\0032.log"}, {3177, "\\log\\0033.log"},
    {701, "\\log\\0034.log"},  {634, "\\log\\0035.log"},  {617, "\\log\\0036.log"},  {713, "\\log\\0037.log"},
    {3128, "\\log\\0038.log"},
};

constexpr CgStep kRoute2[] = {
    {394, "\\log\\0001.log"}, {142, "\\log\\0002.log"}, {756, "\\log\\0003.log"}, {679, "\\log\\0004.log"},
    {675, "\\log\\0005.log"}, {668, "\\log\\0006.log"}, {767, "\\log\\0007.log"}, {841, "\\log\\0008.log"},
    {777, "\\log\\0009.log"}, {758, "\\log\\0010.log"}, {853, "\\log\\0011.log"}, {685, "\\log\\0012.log"},
    {665, "\\log\\0013.log"},
};

constexpr CgStep kRoute3[] = {
    {581, "\\log\\0014.log"}, {575, "\\log\\0015.log"}, {821, "\\log\\0016.log"}, {534, "\\log\\0017.log"},
    {831, "\\log\\0018.log"}, {527, "\\log\\0019.log"}, {562, "\\log\\0020.log"}, {511, "\\log\\0021.log"},
    {825, "\\log\\0022.log"}, {501, "\\log\\0023.log"}, {94, "\\log\\0024.log"},  {2004, "\\log\\0025.log"},
};

}  // namespace

const std::array<std::span<const CgStep>, 3>& RouteCgTable() {
  static const std::array<std::span<const CgStep>, 3> table = {kRoute1, kRoute2, kRoute3};
  return table;
}

}  // namespace shiori
