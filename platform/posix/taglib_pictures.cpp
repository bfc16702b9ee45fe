#include "platform/posix/taglib_pictures.h"

#include <taglib/aifffile.h>
#include <taglib/apefile.h>
#include <taglib/apetag.h>
#include <taglib/asffile.h>
#include <taglib/attachedpictureframe.h>
#include <taglib/flacfile.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4file.h>
#include <taglib/mpcfile.h>
#include <taglib/oggfile.h>
#include <taglib/trueaudiofile.h>
#include <taglib/wavpackfile.h>
#include <taglib/xiphcomment.h>

#include <string_view>

namespace qorvane {

namespace {

std::string Text(const TagLib::String& text) { return text.to8Bit(true); }

std::string Bytes(const TagLib::ByteVector& bytes) { return std::string(bytes.data(), bytes.size()); }

SourcePicture Picture(int type, std::string mimeType, std::string description, std::string data) {
    return {static_cast<std::uint8_t>(type), std::move(mimeType), std::move(description), std::move(data)};
}

// MP4 and APE pictures carry no MIME type of their own: the image's first
// bytes tell it.
std::string MimeOfImage(std::string_view bytes) {
    if (bytes.starts_with("\xFF\xD8\xFF")) return "image/jpeg";
    if (bytes.starts_with("\x89PNG")) return "image/png";
    if (bytes.starts_with("GIF8")) return "image/gif";
    if (bytes.starts_with("BM")) return "image/bmp";
    return "application/octet-stream";
}

void AddFlacPictures(const TagLib::List<TagLib::FLAC::Picture*>& list, std::vector<SourcePicture>& out) {
    for (const TagLib::FLAC::Picture* p : list) {
        out.push_back(Picture(p->type(), Text(p->mimeType()), Text(p->description()), Bytes(p->data())));
    }
}

void AddId3v2Pictures(const TagLib::ID3v2::Tag* tag, std::vector<SourcePicture>& out) {
    if (tag == nullptr) return;
    for (const TagLib::ID3v2::Frame* frame : tag->frameList("APIC")) {
        const auto* apic = dynamic_cast<const TagLib::ID3v2::AttachedPictureFrame*>(frame);
        if (apic == nullptr || apic->picture().isEmpty()) continue;
        out.push_back(Picture(apic->type(), Text(apic->mimeType()), Text(apic->description()),
                              Bytes(apic->picture())));
    }
}

void AddMp4Pictures(const TagLib::MP4::Tag* tag, std::vector<SourcePicture>& out) {
    if (tag == nullptr || !tag->contains("covr")) return;
    for (const TagLib::MP4::CoverArt& art : tag->item("covr").toCoverArtList()) {
        std::string data = Bytes(art.data());
        std::string mime;
        switch (art.format()) {
            case TagLib::MP4::CoverArt::JPEG: mime = "image/jpeg"; break;
            case TagLib::MP4::CoverArt::PNG: mime = "image/png"; break;
            case TagLib::MP4::CoverArt::GIF: mime = "image/gif"; break;
            case TagLib::MP4::CoverArt::BMP: mime = "image/bmp"; break;
            default: mime = MimeOfImage(data); break;
        }
        out.push_back(Picture(3, std::move(mime), {}, std::move(data)));  // MP4 knows only covers
    }
}

// An APE picture item is binary: a file name, a zero byte, the image.
void AddApePictures(const TagLib::APE::Tag* tag, std::vector<SourcePicture>& out) {
    if (tag == nullptr) return;
    constexpr std::pair<const char*, int> kItems[] = {{"COVER ART (FRONT)", 3}, {"COVER ART (BACK)", 4}};
    for (const auto& [key, type] : kItems) {
        const auto item = tag->itemListMap().find(key);  // keys are kept in capitals
        if (item == tag->itemListMap().end()) continue;
        const TagLib::ByteVector value = item->second.binaryData();
        const int zero = value.find('\0');
        if (zero < 0 || static_cast<unsigned>(zero) + 1 >= value.size()) continue;
        std::string data = Bytes(value.mid(static_cast<unsigned>(zero) + 1));
        std::string mime = MimeOfImage(data);
        out.push_back(Picture(type, std::move(mime), {}, std::move(data)));
    }
}

void AddAsfPictures(const TagLib::ASF::Tag* tag, std::vector<SourcePicture>& out) {
    if (tag == nullptr || !tag->contains("WM/Picture")) return;
    for (const TagLib::ASF::Attribute& attribute : tag->attribute("WM/Picture")) {
        const TagLib::ASF::Picture picture = attribute.toPicture();
        if (!picture.isValid() || picture.picture().isEmpty()) continue;
        out.push_back(Picture(picture.type(), Text(picture.mimeType()), Text(picture.description()),
                              Bytes(picture.picture())));
    }
}

}  // namespace

std::vector<SourcePicture> TagLibPictures(TagLib::File& file) {
    std::vector<SourcePicture> out;
    if (auto* flac = dynamic_cast<TagLib::FLAC::File*>(&file)) {
        AddFlacPictures(flac->pictureList(), out);
    } else if (dynamic_cast<TagLib::Ogg::File*>(&file) != nullptr) {
        if (auto* xiph = dynamic_cast<TagLib::Ogg::XiphComment*>(file.tag())) AddFlacPictures(xiph->pictureList(), out);
    } else if (auto* mp4 = dynamic_cast<TagLib::MP4::File*>(&file)) {
        AddMp4Pictures(mp4->tag(), out);
    } else if (auto* asf = dynamic_cast<TagLib::ASF::File*>(&file)) {
        AddAsfPictures(asf->tag(), out);
    } else if (auto* ape = dynamic_cast<TagLib::APE::File*>(&file)) {
        AddApePictures(ape->APETag(), out);
    } else if (auto* wavPack = dynamic_cast<TagLib::WavPack::File*>(&file)) {
        AddApePictures(wavPack->APETag(), out);
    } else if (auto* mpc = dynamic_cast<TagLib::MPC::File*>(&file)) {
        AddApePictures(mpc->APETag(), out);
    } else if (auto* aiff = dynamic_cast<TagLib::RIFF::AIFF::File*>(&file)) {
        AddId3v2Pictures(aiff->tag(), out);
    } else if (auto* tta = dynamic_cast<TagLib::TrueAudio::File*>(&file)) {
        AddId3v2Pictures(tta->ID3v2Tag(), out);
    }
    return out;
}

}  // namespace qorvane
