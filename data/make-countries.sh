#!/usr/bin/env bash
# Rebuilds ne_110m_countries.gpkg from the Natural Earth 1:110m countries that Debian's
# python3-geopandas package ships as naturalearth_lowres. Needs apt-get and gdal-bin (ogr2ogr,
# built with SpatiaLite for the geodesic areas). Run from this folder.
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$work" && apt-get download python3-geopandas && dpkg-deb -x python3-geopandas_*_all.deb x)
src=$(find "$work/x" -name naturalearth_lowres.shp)
rm -f ne_110m_countries.gpkg
ogr2ogr -f GPKG ne_110m_countries.gpkg "$src" -nln countries -nlt MULTIPOLYGON -dialect SQLite -sql \
  "SELECT name, iso_a3, continent, CAST(pop_est AS INTEGER) AS pop_est, gdp_md_est,
          ROUND(ST_Area(geometry, 1) / 1e6, 1) AS area_km2,
          ROUND(pop_est / (ST_Area(geometry, 1) / 1e6), 3) AS pop_density,
          ROUND(pop_est / 1e6, 3) AS pop_m, ROUND(gdp_md_est / 1e3, 3) AS gdp_bn,
          geometry
   FROM naturalearth_lowres"
