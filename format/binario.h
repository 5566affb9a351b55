// Fixed-width little-endian numbers of the compiled files, both ways: appended
// to or put into a byte buffer by the encoders, read back in order by the
// decoders. Every binary file of the system goes through these and nothing
// else, so the byte order lives in one place.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>

namespace formato {

inline void aggiungi_u8(std::string& buf, std::uint8_t v) { buf.push_back(static_cast<char>(v)); }

inline void aggiungi_u16(std::string& buf, std::uint16_t v) {
    buf.push_back(static_cast<char>(v & 0xFFu));
    buf.push_back(static_cast<char>(v >> 8));
}

// Signed fields are two's complement: the same bytes as the unsigned value.
inline void aggiungi_i16(std::string& buf, std::int16_t v) { aggiungi_u16(buf, static_cast<std::uint16_t>(v)); }

inline void aggiungi_u32(std::string& buf, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) buf.push_back(static_cast<char>((v >> (8 * i)) & 0xFFu));
}

inline void aggiungi_i32(std::string& buf, std::int32_t v) { aggiungi_u32(buf, static_cast<std::uint32_t>(v)); }

// IEEE 754 binary64, least significant byte first.
inline void aggiungi_f64(std::string& buf, double v) {
    const auto bit = std::bit_cast<std::uint64_t>(v);
    for (int i = 0; i < 8; ++i) buf.push_back(static_cast<char>((bit >> (8 * i)) & 0xFFu));
}

// The same encodings into a buffer already sized, for large files built in
// one pass; each returns the position after the bytes written.
inline char* metti_u8(char* p, std::uint8_t v) {
    *p = static_cast<char>(v);
    return p + 1;
}

inline char* metti_u16(char* p, std::uint16_t v) {
    p[0] = static_cast<char>(v & 0xFFu);
    p[1] = static_cast<char>(v >> 8);
    return p + 2;
}

inline char* metti_i16(char* p, std::int16_t v) { return metti_u16(p, static_cast<std::uint16_t>(v)); }

inline char* metti_f64(char* p, double v) {
    auto bit = std::bit_cast<std::uint64_t>(v);
    if constexpr (std::endian::native == std::endian::big) bit = __builtin_bswap64(bit);
    std::memcpy(p, &bit, 8);
    return p + 8;
}

// A compiled file that does not follow its layout: the file's name and the
// byte offset where decoding failed.
class errore_decodifica : public std::runtime_error {
public:
    errore_decodifica(std::string file, std::size_t offset, const std::string& dettaglio)
        : std::runtime_error(file + ": byte " + std::to_string(offset) + ": " + dettaglio),
          file_(std::move(file)),
          offset_(offset) {}
    const std::string& file() const { return file_; }
    std::size_t offset() const { return offset_; }

private:
    std::string file_;
    std::size_t offset_;
};

// Little-endian fields read in order; a field that runs past the end throws
// at the offset where it begins, saying what it was.
class lettore_binario {
public:
    lettore_binario(std::string_view byte, const std::string& file) : byte_(byte), file_(file) {}

    std::size_t posizione() const { return pos_; }
    std::size_t restanti() const { return byte_.size() - pos_; }
    bool finito() const { return pos_ == byte_.size(); }

    [[noreturn]] void errore(std::size_t offset, const std::string& dettaglio) const {
        throw errore_decodifica(file_, offset, dettaglio);
    }

    std::uint64_t senza_segno(std::size_t n, const char* campo) {
        richiedi(n, campo);
        std::uint64_t v = 0;
        for (std::size_t i = 0; i < n; ++i)
            v |= std::uint64_t{static_cast<unsigned char>(byte_[pos_ + i])} << (8 * i);
        pos_ += n;
        return v;
    }
    std::uint8_t u8(const char* campo) { return static_cast<std::uint8_t>(senza_segno(1, campo)); }
    std::uint16_t u16(const char* campo) { return static_cast<std::uint16_t>(senza_segno(2, campo)); }
    std::int16_t i16(const char* campo) { return static_cast<std::int16_t>(senza_segno(2, campo)); }
    std::int32_t i32(const char* campo) { return static_cast<std::int32_t>(senza_segno(4, campo)); }
    double f64(const char* campo) { return std::bit_cast<double>(senza_segno(8, campo)); }
    std::string_view testo(std::size_t n, const char* campo) {
        richiedi(n, campo);
        const auto t = byte_.substr(pos_, n);
        pos_ += n;
        return t;
    }

private:
    void richiedi(std::size_t n, const char* campo) const {
        if (restanti() < n)
            errore(pos_, std::string("truncated: ") + campo + " needs " + std::to_string(n) + " bytes, " +
                             std::to_string(restanti()) + " left");
    }

    std::string_view byte_;
    const std::string& file_;
    std::size_t pos_ = 0;
};

}  // namespace formato
