#pragma once
// The JSON form of a project (UTF-8). Every record is an object with its fields under
// their names in stored order; every map is a list of entries {"key", "value"} in the
// order in which the archive stores them; an object that occurs in several places
// carries "id" where it first occurs and is {"same_as": id} afterwards. A text is a
// JSON string, or {"cp932_hex": "..."} when its bytes are not valid code page 932 (or
// would not come back the same). docs/project-json.md describes the shape.

#include <nlohmann/json.hpp>
#include <span>
#include <stdexcept>
#include <string>

#include "model/project_data.hpp"

namespace tools {

/// Bad project JSON; the message starts with the path of the field, such as
/// "setup_files.files[3].value.install_path: expected a text".
class json_error : public std::runtime_error {
public:
    json_error(const std::string& field_path, const std::string& what)
        : std::runtime_error(field_path + ": " + what), field_path_(field_path) {}
    const std::string& field_path() const { return field_path_; }

private:
    std::string field_path_;
};

/// The order in which a map's entries are listed.
enum class map_order {
    /// Visiting order: the order in which serialize_project stores the entries.
    Stored,
    /// The order in which a reader met them in the file the project was parsed from
    /// (visiting order reversed within each bucket). vrz show uses it, so that
    /// project_from_json and serialize_project give the file back byte for byte.
    AsRead,
};

/// The project as JSON.
nlohmann::json project_to_json(const model::project_data& project, map_order order = map_order::Stored);
/// The same with the members of each object in stored order (for display).
nlohmann::ordered_json project_to_ordered_json(const model::project_data& project,
                                               map_order order = map_order::Stored);
/// A project whose maps visit (and store) their entries in the order listed; throws json_error.
model::project_data project_from_json(const nlohmann::json& json);

/// JSON of the project file's bytes, maps listed in file order; throws model::format_error.
nlohmann::ordered_json project_file_to_json(std::span<const std::byte> bytes);

/// A code page 932 text as a JSON string, or {"cp932_hex": "..."} when it does not convert losslessly.
nlohmann::json text_to_json(const std::string& cp932);
/// The code page 932 text of a JSON text; throws json_error naming field_path.
std::string text_from_json(const nlohmann::json& json, const std::string& field_path);

}  // namespace tools
