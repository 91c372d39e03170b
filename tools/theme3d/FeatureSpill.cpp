#include "FeatureSpill.h"

#include "ToolError.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ogr_geometry.h>
#include <unistd.h>

namespace theme3d {

namespace {

constexpr std::size_t kBufferBytes = 1 << 20;

template <typename T> void Put(std::string& out, T value) {
    out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

void PutBytes(std::string& out, const void* pData, std::size_t n) {
    Put(out, static_cast<std::uint32_t>(n));
    out.append(static_cast<const char*>(pData), n);
}

struct Cursor {
    const char* p;
    const char* end;
    template <typename T> T Get() {
        T value{};
        if (static_cast<std::size_t>(end - p) >= sizeof value) {
            std::memcpy(&value, p, sizeof value);
            p += sizeof value;
        } else {
            p = end;
        }
        return value;
    }
    std::string_view Bytes() {
        const std::size_t n = std::min<std::size_t>(Get<std::uint32_t>(), end - p);
        const std::string_view bytes(p, n);
        p += n;
        return bytes;
    }
};

} // namespace

void FeatureSpill::Fail(const char* szWhat) const {
    const std::string strError = std::strerror(errno);
    if (m_strTarget.empty())
        throw ToolError(std::string("cannot ") + szWhat +
                        " the temporary feature file: " + strError);
    throw ToolError("cannot write '" + m_strTarget + "' (" + szWhat +
                    " its temporary feature file): " + strError);
}

FeatureSpill::FeatureSpill(const std::string& strDir, const std::string& strTarget)
    : m_strTarget(strTarget) {
    std::string strBase = strDir;
    if (strBase.empty()) {
        const char* szTmp = std::getenv("TMPDIR");
        strBase = szTmp != nullptr && *szTmp != '\0' ? szTmp : "/tmp";
    }
    std::string strTemplate = strBase + "/theme3d-features.XXXXXX";
    m_fd = mkstemp(strTemplate.data());
    if (m_fd < 0)
        Fail("make");
    unlink(strTemplate.c_str());
}

FeatureSpill::~FeatureSpill() {
    if (m_fd >= 0)
        close(m_fd);
}

std::uint32_t FeatureSpill::Append(const Feature& feature) {
    const std::uint32_t nFeature = static_cast<std::uint32_t>(GetCount());
    const std::size_t nStart = m_buffer.size();
    Put(m_buffer, static_cast<std::int64_t>(feature.nFid));
    if (feature.geometry) {
        std::string wkb(feature.geometry->WkbSize(), '\0');
        feature.geometry->exportToWkb(wkbNDR, reinterpret_cast<unsigned char*>(wkb.data()),
                                      wkbVariantIso);
        PutBytes(m_buffer, wkb.data(), wkb.size());
    } else {
        Put(m_buffer, std::uint32_t{0});
    }
    Put(m_buffer, static_cast<std::uint32_t>(feature.values.size()));
    for (const TOVO::TovoVariant& value : feature.values) {
        const int nType = value.GetType();
        Put(m_buffer, static_cast<std::uint8_t>(nType));
        switch (nType) {
        case TOVO::TovoVariant::UInt8:
        case TOVO::TovoVariant::Int16:
        case TOVO::TovoVariant::Int32:
        case TOVO::TovoVariant::Int64:
            Put(m_buffer,
                static_cast<std::int64_t>(nType == TOVO::TovoVariant::UInt8   ? value.GetUInt8()
                                          : nType == TOVO::TovoVariant::Int16 ? value.GetInt16()
                                          : nType == TOVO::TovoVariant::Int32 ? value.GetInt32()
                                                                              : value.GetInt64()));
            break;
        case TOVO::TovoVariant::Float:
            Put(m_buffer, static_cast<double>(value.GetFloat()));
            break;
        case TOVO::TovoVariant::Double:
            Put(m_buffer, value.GetDouble());
            break;
        case TOVO::TovoVariant::Date:
        case TOVO::TovoVariant::Time:
        case TOVO::TovoVariant::DateTime:
            Put(m_buffer, value.GetDayNumber());
            break;
        case TOVO::TovoVariant::Binary:
            PutBytes(m_buffer, value.GetBinary().data(), value.GetBinary().size());
            break;
        case TOVO::TovoVariant::Text:
            PutBytes(m_buffer, value.GetText().Str().data(), value.GetText().Str().size());
            break;
        default:
            break;
        }
    }
    m_offsets.push_back(m_offsets.back() + (m_buffer.size() - nStart));
    if (m_buffer.size() >= kBufferBytes)
        Flush();
    return nFeature;
}

void FeatureSpill::Flush() {
    const std::uint64_t nEnd = m_offsets.back();
    std::uint64_t nAt = nEnd - m_buffer.size();
    const char* p = m_buffer.data();
    std::size_t nLeft = m_buffer.size();
    while (nLeft > 0) {
        const ssize_t n = pwrite(m_fd, p, nLeft, static_cast<off_t>(nAt));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            Fail("write");
        p += n;
        nAt += static_cast<std::uint64_t>(n);
        nLeft -= static_cast<std::size_t>(n);
    }
    m_buffer.clear();
}

Feature FeatureSpill::Read(std::uint32_t nFeature) const {
    const std::uint64_t nBegin = m_offsets.at(nFeature), nEnd = m_offsets.at(nFeature + 1);
    std::string bytes(nEnd - nBegin, '\0');
    std::size_t nDone = 0;
    while (nDone < bytes.size()) {
        const ssize_t n = pread(m_fd, bytes.data() + nDone, bytes.size() - nDone,
                                static_cast<off_t>(nBegin + nDone));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            Fail("read");
        nDone += static_cast<std::size_t>(n);
    }
    Cursor in{bytes.data(), bytes.data() + bytes.size()};
    Feature feature;
    feature.nFid = in.Get<std::int64_t>();
    const std::string_view wkb = in.Bytes();
    if (!wkb.empty()) {
        OGRGeometry* pGeometry = nullptr;
        if (OGRGeometryFactory::createFromWkb(wkb.data(), nullptr, &pGeometry, wkb.size()) ==
            OGRERR_NONE)
            feature.geometry.reset(pGeometry, [](const OGRGeometry* p) {
                OGRGeometryFactory::destroyGeometry(const_cast<OGRGeometry*>(p));
            });
    }
    const std::uint32_t nValues = in.Get<std::uint32_t>();
    for (std::uint32_t i = 0; i < nValues && in.p < in.end; ++i) {
        TOVO::TovoVariant value;
        const int nType = in.Get<std::uint8_t>();
        switch (nType) {
        case TOVO::TovoVariant::UInt8:
            value.SetUInt8(static_cast<std::uint8_t>(in.Get<std::int64_t>()));
            break;
        case TOVO::TovoVariant::Int16:
            value.SetInt16(static_cast<std::int16_t>(in.Get<std::int64_t>()));
            break;
        case TOVO::TovoVariant::Int32:
            value.SetInt32(static_cast<std::int32_t>(in.Get<std::int64_t>()));
            break;
        case TOVO::TovoVariant::Int64:
            value.SetInt64(in.Get<std::int64_t>());
            break;
        case TOVO::TovoVariant::Float:
            value.SetFloat(static_cast<float>(in.Get<double>()));
            break;
        case TOVO::TovoVariant::Double:
            value.SetDouble(in.Get<double>());
            break;
        case TOVO::TovoVariant::Date:
        case TOVO::TovoVariant::Time:
        case TOVO::TovoVariant::DateTime:
            value.SetDayNumber(in.Get<double>(), nType);
            break;
        case TOVO::TovoVariant::Binary: {
            const std::string_view data = in.Bytes();
            value.SetBinary(data.data(), data.size());
            break;
        }
        case TOVO::TovoVariant::Text:
            value.SetText(TOVO::TovoMBString(std::string(in.Bytes())));
            break;
        default:
            break;
        }
        feature.values.push_back(value);
    }
    return feature;
}

} // namespace theme3d
