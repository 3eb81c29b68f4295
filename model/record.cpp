#include "model/record.hpp"

#include <ctime>

namespace model {

namespace {

// Days from 1 March of year 0 style civil arithmetic (proleptic Gregorian calendar).
long days_from_civil(long year, unsigned month, unsigned day) {
    year -= month <= 2 ? 1 : 0;
    const long era = (year >= 0 ? year : year - 399) / 400;
    const unsigned year_of_era = static_cast<unsigned>(year - era * 400);
    const unsigned day_of_year = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const unsigned day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
    return era * 146097 + static_cast<long>(day_of_era);
}

}  // namespace

date_time date_time::now() {
    const std::time_t t = std::time(nullptr);
    // The programs run one thread, so the shared result of localtime is safe here.
    const std::tm* local = std::localtime(&t);
    if (local == nullptr) return date_time{};
    const long days = days_from_civil(local->tm_year + 1900L, static_cast<unsigned>(local->tm_mon + 1),
                                      static_cast<unsigned>(local->tm_mday)) -
                      days_from_civil(1899, 12, 30);
    const int seconds = local->tm_hour * 3600 + local->tm_min * 60 + local->tm_sec;
    return date_time{0, static_cast<double>(days) + seconds / 86400.0};
}

}  // namespace model
