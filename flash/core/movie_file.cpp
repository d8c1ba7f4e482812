#include "flash/core/movie_file.h"

#include <QFile>

#include "flash/swf/limits.h"

namespace flash {

std::optional<QByteArray> readMovieFile(const std::string& path, std::string* error) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        if (error) *error = "cannot open " + path + ": " + file.errorString().toStdString();
        return std::nullopt;
    }
    // A compressed movie grows when unpacked; its file is never bigger than the unpacked limit.
    if (file.size() > qint64(swf::limits::kMaxMovieBytes)) {
        if (error) *error = path + " is larger than the movie size limit";
        return std::nullopt;
    }
    return file.readAll();
}

}  // namespace flash
