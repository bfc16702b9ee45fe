#include "tags/id3_genres.h"

#include <algorithm>

namespace qorvane {

const std::array<std::string_view, kGenreCount> GenreNames = {
    "Blues", "Classic Rock", "Country", "Dance", "Disco", "Funk", "Grunge", "Hip-Hop", "Jazz",
    "Metal", "New Age", "Oldies", "Other", "Pop", "R&B", "Rap", "Reggae", "Rock", "Techno",
    "Industrial", "Alternative", "Ska", "Death Metal", "Pranks", "Soundtrack", "Euro-tecno",
    "Ambient", "Trip-Hop", "Vocal", "Juzz+Funk", "Fusion", "Trance", "Classical",
    "Instrumental", "Acid", "House", "Game", "Sound Clip", "Gospel", "Noise", "AlternRock",
    "Bass", "Soul", "Punk", "Space", "Meditative", "Instrumental Pop", "Instrumental Rock",
    "Ethnic", "Gothic", "Darkwave", "Techno-Industrial", "Electronic", "Pop-Folk", "Eurodance",
    "Dream", "Southern Rock", "Comedy", "Cult", "Gangsta", "Top 40", "Christian Rap",
    "Pop/Funk", "Jungle", "Native American", "Cabaret", "New Wave", "Psychadelic", "Rave",
    "Showtunes", "Trailer", "Lo-Fi", "Tribal", "Acid Punk", "Acid Jazz", "Polka", "Retro",
    "Musical", "Rock & Roll", "Hard Rock", "Folk", "Folk/Rock", "National Folk", "Swing",
    "Fast-Fusion", "Bedob", "Latin", "Revival", "Celtic", "Bluegrass", "Avantagarde",
    "Gothic Rock", "Progressive Rock", "Psychadelic Rock", "Symphonic Rock", "Slow Rock",
    "Big band", "Chorus", "Easy Listening", "Acoustic", "Humour", "Speech", "Chanson", "Opera",
    "Chamber Music", "Sonata", "Symphony", "Booty Bass", "Primus", "Porn Groove", "Satire",
    "Slow Jam", "Club", "Tango", "Samba", "Folklore", "Ballad", "Power Ballad", "Rhytmic Soul",
    "Freestyle", "Duet", "Punk Rock", "Drum Solo", "Acapella", "Euro-House", "Dance Hall",
    "Goa", "Drum & Bass", "Club-House", "Hardcore", "Terror", "Indie", "BritPop", "Negerpunk",
    "Polsk Punk", "Beat", "Christian Gangsta Rap", "Heavy Metal", "Black Metal", "Crossover",
    "Contemporary Christian", "Christian Rock", "Merengue", "Salsa", "Thrash Metal", "Anime",
    "JPop", "Synthpop",
};

std::optional<std::string> ResolveGenre(std::string_view text) {
    if (text.empty() || text.front() != '(') return std::string(text);

    // Digits build one number, ")" is passed over (so "(1)2" is 12), and any
    // other character ends the scan; what follows it is the genre text.
    bool found = false;
    std::size_t number = 0;
    std::string_view rest = text;
    for (std::size_t i = 1; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            found = true;
            // Anything past the list is out of range; stop growing there.
            number = std::min<std::size_t>(number * 10 + static_cast<std::size_t>(c - '0'),
                                           kGenreCount);
        } else if (c != ')') {
            rest = text.substr(i);
            break;
        }
    }
    if (found) {
        if (number < kGenreCount) return std::string(GenreNames[number]);
        return std::nullopt;
    }
    return std::string(rest);
}

}  // namespace qorvane
