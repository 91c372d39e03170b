#include "LayerReader.h"

#include "ToolError.h"
#include "VyBase600/TovoTime.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cpl_error.h>
#include <gdal_priv.h>
#include <iomanip>
#include <iostream>
#include <mutex>
#include <ogr_spatialref.h>
#include <ogrsf_frmts.h>
#include <sstream>

namespace theme3d {

namespace {

void InitGdal() {
    static std::once_flag once;
    std::call_once(once, [] {
        GDALAllRegister();
        // Errors reach the user as the tool's one line; GDAL's own messages would be a second.
        CPLSetErrorHandler(CPLQuietErrorHandler);
    });
}

std::string LastGdalError() {
    const char* sz = CPLGetLastErrorMsg();
    return (sz && *sz) ? sz : "not a vector format GDAL reads";
}

double DayNumber(int y, int m, int d, int h, int min, float sec) {
    const double whole = TOVO::TovoTime(y, m, d, h, min, 0).GetDayNumber();
    return whole + static_cast<double>(sec) / 86400.0;
}

// "PG:dbname=x", "WFS:https://..." name no file; "/vsizip/a.zip" and "C:/x" do.
bool IsConnectionString(const std::string& strPath) {
    const std::size_t nColon = strPath.find(':');
    return nColon != std::string::npos && nColon > 1 && strPath.find('/') > nColon &&
           std::all_of(strPath.begin(), strPath.begin() + static_cast<std::ptrdiff_t>(nColon),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
}

} // namespace

LayerReader::LayerReader(const std::string& strPath, const std::string& strLayer,
                         bool bSkipFailures, const std::string& strSql,
                         const std::string& strDialect)
    : m_strPath(strPath), m_bSkipFailures(bSkipFailures) {
    InitGdal();
    if (!strSql.empty() && !strLayer.empty())
        throw ToolError("--sql and --layer together: the query names its layers");
    CPLErrorReset();
    // GDAL's virtual paths (/vsizip/, /vsigzip/, ...) and connection strings open as files do.
    m_pDataset = static_cast<GDALDataset*>(
        GDALOpenEx(strPath.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY, nullptr, nullptr, nullptr));
    if (m_pDataset == nullptr) {
        VSIStatBufL st{};
        if (VSIStatL(strPath.c_str(), &st) != 0 && !IsConnectionString(strPath))
            throw ToolError("layer file '" + strPath + "' not found");
        throw ToolError("cannot read '" + strPath + "': " + LastGdalError());
    }
    if (!strSql.empty()) {
        CPLErrorReset();
        m_pResult = m_pDataset->ExecuteSQL(strSql.c_str(), nullptr,
                                           strDialect.empty() ? nullptr : strDialect.c_str());
        if (m_pResult == nullptr) {
            const std::string strError = CPLGetLastErrorMsg();
            Close();
            throw ToolError("--sql '" + strSql + "' on '" + strPath + "': " +
                            (strError.empty() ? "the query makes no layer"
                                              : strError.substr(0, strError.find('\n'))));
        }
        m_pLayer = m_pResult;
    } else {
        m_pLayer = strLayer.empty() ? m_pDataset->GetLayer(0)
                                    : m_pDataset->GetLayerByName(strLayer.c_str());
    }
    if (m_pLayer == nullptr) {
        const std::string strNames = LayerNames();
        Close();
        throw ToolError("layer '" + strLayer + "' not found in '" + strPath +
                        "' (layers: " + (strNames.empty() ? "none" : strNames) + ")");
    }
    const OGRSpatialReference* pSource = m_pLayer->GetSpatialRef();
    if (pSource != nullptr && !pSource->IsGeographic()) {
        OGRSpatialReference target;
        target.importFromEPSG(4326);
        target.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
        m_pToLonLat.reset(OGRCreateCoordinateTransformation(pSource, &target));
        if (!m_pToLonLat) {
            const std::string strError = LastGdalError();
            Close();
            throw ToolError("cannot turn the coordinates of '" + strPath +
                            "' into longitude and latitude: " + strError);
        }
    }
}

void LayerReader::SetWhere(const std::string& strWhere) {
    if (strWhere.empty())
        return;
    CPLErrorReset();
    if (m_pLayer->SetAttributeFilter(strWhere.c_str()) != OGRERR_NONE) {
        // OGR's parser points at the error on further lines; the first says what it is.
        const std::string strError = LastGdalError();
        throw ToolError("--where '" + strWhere + "' on layer '" + GetLayerName() +
                        "': " + strError.substr(0, strError.find('\n')));
    }
}

LayerReader::~LayerReader() {
    Close();
}

void LayerReader::Close() {
    if (m_pResult != nullptr)
        m_pDataset->ReleaseResultSet(m_pResult);
    m_pResult = nullptr;
    m_pLayer = nullptr;
    GDALClose(m_pDataset);
    m_pDataset = nullptr;
}

std::string LayerReader::LayerNames() const {
    std::string strNames;
    for (int i = 0; i < m_pDataset->GetLayerCount(); ++i)
        strNames += std::string(i ? ", " : "") + m_pDataset->GetLayer(i)->GetName();
    return strNames;
}

std::string LayerReader::GetLayerName() const {
    return m_pLayer->GetName();
}

std::vector<std::string> LayerReader::FieldNames() const {
    std::vector<std::string> names;
    OGRFeatureDefn* pDefn = m_pLayer->GetLayerDefn();
    for (int i = 0; i < pDefn->GetFieldCount(); ++i)
        names.emplace_back(pDefn->GetFieldDefn(i)->GetNameRef());
    return names;
}

int LayerReader::FieldIndex(const std::string& strField) const {
    const int n = m_pLayer->GetLayerDefn()->GetFieldIndex(strField.c_str());
    if (n < 0) {
        std::string strNames;
        for (const std::string& s : FieldNames())
            strNames += (strNames.empty() ? "" : ", ") + s;
        throw ToolError("field '" + strField + "' not found in layer '" + GetLayerName() +
                        "' of '" + m_strPath + "' (fields: " + strNames + ")");
    }
    return n;
}

void LayerReader::RequireNumeric(int nField) const {
    OGRFieldDefn* pField = m_pLayer->GetLayerDefn()->GetFieldDefn(nField);
    const OGRFieldType type = pField->GetType();
    if (type != OFTInteger && type != OFTInteger64 && type != OFTReal)
        throw ToolError("field '" + std::string(pField->GetNameRef()) + "' of '" + m_strPath +
                        "' is not numeric (" + OGRFieldDefn::GetFieldTypeName(type) + ")");
}

TOVO::TovoVariant LayerReader::ToVariant(OGRFeature& feature, int nField) {
    TOVO::TovoVariant value;
    if (!feature.IsFieldSetAndNotNull(nField))
        return value;
    const OGRFieldDefn* pDefn = feature.GetFieldDefnRef(nField);
    const OGRFieldSubType sub = pDefn->GetSubType();
    int y = 0, m = 0, d = 0, h = 0, min = 0, tz = 0;
    float sec = 0.0f;
    switch (pDefn->GetType()) {
    case OFTInteger:
        if (sub == OFSTBoolean)
            value.SetUInt8(static_cast<std::uint8_t>(feature.GetFieldAsInteger(nField) != 0));
        else if (sub == OFSTInt16)
            value.SetInt16(static_cast<std::int16_t>(feature.GetFieldAsInteger(nField)));
        else
            value.SetInt32(feature.GetFieldAsInteger(nField));
        break;
    case OFTInteger64:
        value.SetInt64(feature.GetFieldAsInteger64(nField));
        break;
    case OFTReal:
        if (sub == OFSTFloat32)
            value.SetFloat(static_cast<float>(feature.GetFieldAsDouble(nField)));
        else
            value.SetDouble(feature.GetFieldAsDouble(nField));
        break;
    case OFTDate:
    case OFTTime:
    case OFTDateTime: {
        feature.GetFieldAsDateTime(nField, &y, &m, &d, &h, &min, &sec, &tz);
        const int nType = pDefn->GetType() == OFTDate   ? TOVO::TovoVariant::Date
                          : pDefn->GetType() == OFTTime ? TOVO::TovoVariant::Time
                                                        : TOVO::TovoVariant::DateTime;
        // A time of day alone counts from day 0 (1899-12-30), as the day number does.
        if (nType == TOVO::TovoVariant::Time)
            value.SetDayNumber((h * 3600.0 + min * 60.0 + sec) / 86400.0, nType);
        else
            value.SetDayNumber(DayNumber(y, m, d, h, min, sec), nType);
        break;
    }
    case OFTBinary: {
        int nBytes = 0;
        const GByte* pData = feature.GetFieldAsBinary(nField, &nBytes);
        value.SetBinary(pData, static_cast<std::size_t>(nBytes));
        break;
    }
    default: // strings, and lists as their text
        value.SetText(TOVO::TovoMBString(feature.GetFieldAsString(nField)));
        break;
    }
    return value;
}

void LayerReader::ForEach(const std::function<void(OGRFeature&)>& visit) {
    // A driver reports a feature it cannot read through the error state: it returns no feature
    // (which would end the pass early) or one without its geometry. The feature count, where
    // the driver knows it cheaply, tells whether records remain after a failed one.
    const long long nExpected = m_pLayer->GetFeatureCount(FALSE);
    std::size_t nRead = 0, nFailed = 0;
    std::string strFirst;
    m_pLayer->ResetReading();
    for (;;) {
        CPLErrorReset();
        std::unique_ptr<OGRFeature> pFeature(m_pLayer->GetNextFeature());
        const bool bFailed = CPLGetLastErrorType() >= CE_Failure;
        if (bFailed) {
            if (nFailed++ == 0)
                strFirst = CPLGetLastErrorMsg();
        } else if (pFeature) {
            ++nRead;
            visit(*pFeature);
        }
        if (!pFeature &&
            (!bFailed || nExpected < 0 || static_cast<long long>(nRead + nFailed) >= nExpected))
            break;
    }
    ReportFailures(nFailed, nRead, strFirst);
}

void LayerReader::ReportFailures(std::size_t nFailed, std::size_t nRead,
                                 const std::string& strFirst) const {
    if (nFailed == 0)
        return;
    const std::string strWhat =
        std::to_string(nFailed) + " of " + std::to_string(nFailed + nRead) + " features of '" +
        m_strPath +
        "' could not be read (first error: " + (strFirst.empty() ? "unknown" : strFirst) + ")";
    if (!m_bSkipFailures)
        throw ToolError(strWhat + "; --skip-failures goes on without them");
    std::cerr << "theme3d: note: " << strWhat << "; left out (--skip-failures)\n";
}

std::vector<Feature> LayerReader::ReadAll(const std::vector<int>& fields) {
    std::vector<Feature> features;
    ForEachFeature(fields, [&](Feature&& feature) { features.push_back(std::move(feature)); });
    return features;
}

void LayerReader::ForEachFeature(const std::vector<int>& fields,
                                 const std::function<void(Feature&&)>& visit) {
    ForEach([&](OGRFeature& ogrFeature) {
        Feature feature;
        feature.nFid = ogrFeature.GetFID();
        OGRGeometry* pGeometry = ogrFeature.StealGeometry();
        if (pGeometry != nullptr && m_pToLonLat &&
            pGeometry->transform(m_pToLonLat.get()) != OGRERR_NONE) {
            OGRGeometryFactory::destroyGeometry(pGeometry);
            throw ToolError("cannot turn feature " + std::to_string(feature.nFid) + " of '" +
                            m_strPath + "' into longitude and latitude");
        }
        feature.geometry.reset(pGeometry, [](const OGRGeometry* p) {
            OGRGeometryFactory::destroyGeometry(const_cast<OGRGeometry*>(p));
        });
        for (int nField : fields)
            feature.values.push_back(ToVariant(ogrFeature, nField));
        visit(std::move(feature));
    });
}

bool LayerReader::IsNumeric(int nField) const {
    const OGRFieldDefn* pField = m_pLayer->GetLayerDefn()->GetFieldDefn(nField);
    if (pField == nullptr)
        return false;
    const OGRFieldType type = pField->GetType();
    return type == OFTInteger || type == OFTInteger64 || type == OFTReal;
}

std::vector<double> LayerReader::SortedNumbers(int nField, std::size_t& nNonFinite) {
    RequireNumeric(nField);
    std::vector<double> values;
    nNonFinite = 0;
    ForEach([&](OGRFeature& feature) {
        if (!feature.IsFieldSetAndNotNull(nField))
            return;
        const double d = feature.GetFieldAsDouble(nField);
        if (std::isfinite(d))
            values.push_back(d);
        else
            ++nNonFinite;
    });
    std::sort(values.begin(), values.end());
    return values;
}

GeoExtent LayerReader::Extent(const std::vector<Feature>& features) {
    GeoExtent extent{1.0, 1.0, -1.0, -1.0};
    for (const Feature& feature : features) {
        if (!feature.geometry || feature.geometry->IsEmpty())
            continue;
        OGREnvelope env;
        feature.geometry->getEnvelope(&env);
        if (extent.IsEmpty()) {
            extent = {env.MinX, env.MinY, env.MaxX, env.MaxY};
            continue;
        }
        extent.xmin = std::min(extent.xmin, env.MinX);
        extent.ymin = std::min(extent.ymin, env.MinY);
        extent.xmax = std::max(extent.xmax, env.MaxX);
        extent.ymax = std::max(extent.ymax, env.MaxY);
    }
    return extent;
}

void LayerReader::Describe(std::ostream& out) const {
    const auto number = [](double d) {
        std::ostringstream text;
        text << std::setprecision(15) << d;
        return text.str();
    };
    out << "file: " << m_strPath << '\n';
    out << "layers:";
    for (int i = 0; i < m_pDataset->GetLayerCount(); ++i) {
        OGRLayer* pLayer = m_pDataset->GetLayer(i);
        out << (i ? ", " : " ") << pLayer->GetName() << " ("
            << OGRGeometryTypeToName(pLayer->GetGeomType()) << ')';
    }
    out << '\n' << "layer: " << m_pLayer->GetName() << '\n';
    out << "geometry: " << OGRGeometryTypeToName(m_pLayer->GetGeomType()) << '\n';
    out << "features: " << m_pLayer->GetFeatureCount(TRUE) << '\n';
    const OGRSpatialReference* pSrs = m_pLayer->GetSpatialRef();
    out << "crs: ";
    if (pSrs == nullptr) {
        out << "none";
    } else {
        const char* szName = pSrs->GetName();
        out << (szName ? szName : "unnamed");
        const char* szAuthority = pSrs->GetAuthorityName(nullptr);
        const char* szCode = pSrs->GetAuthorityCode(nullptr);
        if (szAuthority && szCode)
            out << " (" << szAuthority << ':' << szCode << ')';
    }
    out << '\n';
    OGREnvelope env;
    out << "extent: ";
    if (m_pLayer->GetExtent(&env, TRUE) == OGRERR_NONE)
        out << '(' << number(env.MinX) << ", " << number(env.MinY) << ") - (" << number(env.MaxX)
            << ", " << number(env.MaxY) << ")\n";
    else
        out << "none\n";
    OGRFeatureDefn* pDefn = m_pLayer->GetLayerDefn();
    out << "fields:" << (pDefn->GetFieldCount() == 0 ? " none\n" : "\n");
    for (int i = 0; i < pDefn->GetFieldCount(); ++i) {
        const OGRFieldDefn* pField = pDefn->GetFieldDefn(i);
        out << "  " << pField->GetNameRef() << ": "
            << OGRFieldDefn::GetFieldTypeName(pField->GetType());
        if (pField->GetSubType() != OFSTNone)
            out << " (" << OGRFieldDefn::GetFieldSubTypeName(pField->GetSubType()) << ')';
        out << '\n';
    }
}

} // namespace theme3d
