#include "ui/Artwork.h"

#include "ui/ArtPaint.h"

#include <map>
#include <stdexcept>

namespace {
const art::TCatalog& Catalog() {
    static const art::TCatalog catalog = [] {
        art::TCatalog c;
        art::AddIconArt(c);
        art::AddControlArt(c);
        art::AddWindowArt(c);
        return c;
    }();
    return catalog;
}
} // namespace

std::vector<std::string> ArtNames() {
    std::vector<std::string> names;
    for (const auto& entry : Catalog())
        names.push_back(entry.first);
    return names;
}

const TBitmap32& ArtPicture(std::string_view name) {
    static std::map<std::string, TBitmap32, std::less<>> cache;
    if (auto it = cache.find(name); it != cache.end()) return it->second;
    const auto maker = Catalog().find(name);
    if (maker == Catalog().end()) throw std::out_of_range("no picture named " + std::string(name));
    return cache.emplace(std::string(name), maker->second()).first->second;
}
