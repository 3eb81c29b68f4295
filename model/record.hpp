#pragma once
// The common base of every record class stored in a project archive.

#include <cstdint>
#include <string_view>

namespace model {

class archive_reader;
class archive_writer;

/// A stored date and time: status (0 valid, 1 invalid, 2 null) and days since
/// 30 December 1899 00:00 with the time of day as the fraction.
struct date_time {
    std::int32_t status = 0;
    double days = 0.0;
    /// The current local time, the default of a fresh record.
    static date_time now();
    friend bool operator==(const date_time&, const date_time&) = default;
};

class record {
public:
    virtual ~record() = default;
    /// The class name under which the archive stores the record.
    virtual std::string_view class_name() const = 0;
    /// Consumes exactly the record's fields in stored order.
    virtual void read(archive_reader& in) = 0;
    /// Produces the record's fields in stored order.
    virtual void write(archive_writer& out) const = 0;
};

}  // namespace model
