#include "form/form1_geometry.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace corvane {

// A row left out of the table's count would come out as an empty, nameless control.
static_assert(std::none_of(kControlPlaces.begin(), kControlPlaces.end(),
                           [](const ControlPlace& place) { return place.name.empty(); }));

const ControlPlace& PlaceOf(std::string_view name) {
  const auto* place = std::find_if(kControlPlaces.begin(), kControlPlaces.end(),
                                   [name](const ControlPlace& row) { return row.name == name; });
  if (place == kControlPlaces.end())
    throw std::logic_error("no place for control " + std::string(name));
  return *place;
}

}  // namespace corvane
