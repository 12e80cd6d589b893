// The API described in OpenAPI 3.1 (its schemas are JSON Schema 2020-12, so clients and the
// tests validate answers with any JSON Schema validator).
#include "serve/routes.hpp"

namespace lantrel::cli::serve {

namespace {

constexpr const char* kDocument = R"json({
  "openapi": "3.1.0",
  "info": {
    "title": "lantrel",
    "version": "1",
    "description": "Coordinates in and around Kentucky: state plane zones, UTM 16/17, NAD 27 and NAD 83, the Carter location grid, counties and quadrangles. Numbers are JSON numbers (shortest text that reads back as the same double); the *_text members beside them are formatted as the lantrel tool writes them. Longitudes are negative in the west unless west_positive is asked for. Failures are problem documents (RFC 9457)."
  },
  "servers": [{"url": "/"}],
  "paths": {
    "/api/v1/point": {
      "get": {
        "summary": "Everything about one point",
        "parameters": [
          {"name": "text", "in": "query", "required": true, "schema": {"type": "string"}, "description": "a longitude and latitude (decimal or degrees-minutes-seconds with hemisphere letters), a Carter location in either layout, a Carter block or section alone, or plane coordinates with system"},
          {"name": "system", "in": "query", "schema": {"type": "string"}, "description": "PROJECTION[/DATUM[/UNITS]] or EPSG:CODE; read from the text's shape when absent"},
          {"name": "datum", "in": "query", "schema": {"enum": ["nad83", "nad27"]}, "description": "datum of a longitude and latitude read without system"},
          {"name": "precision", "in": "query", "schema": {"type": "integer", "minimum": 0, "maximum": 17}},
          {"name": "angle_precision", "in": "query", "schema": {"type": "integer", "minimum": 0, "maximum": 17}},
          {"name": "dms_precision", "in": "query", "schema": {"type": "integer", "minimum": 0, "maximum": 12}},
          {"name": "zgs", "in": "query", "schema": {"type": "boolean"}},
          {"name": "accept_distant", "in": "query", "schema": {"type": "boolean"}},
          {"name": "zones", "in": "query", "schema": {"enum": ["point", "all"]}, "description": "zones of a neighbouring state found at the point: point (default) gives the one zone of the state the point lies in (of Illinois' and Indiana's two, the one whose central meridian lies nearest, with a note: those states assign their zones by county); all gives every zone that applies to those states"}
        ],
        "responses": {
          "200": {"description": "the point", "content": {"application/json": {"schema": {"$ref": "#/components/schemas/PointReport"}}}},
          "400": {"$ref": "#/components/responses/Problem"},
          "422": {"$ref": "#/components/responses/Problem"}
        }
      }
    },
    "/api/v1/convert": {
      "get": {
        "summary": "Convert one point",
        "parameters": [
          {"name": "from", "in": "query", "required": true, "schema": {"type": "string"}},
          {"name": "to", "in": "query", "required": true, "schema": {"type": "string"}},
          {"name": "x", "in": "query", "schema": {"type": "string"}},
          {"name": "y", "in": "query", "schema": {"type": "string"}},
          {"name": "text", "in": "query", "schema": {"type": "string"}, "description": "the point as one line, as the tool reads it"},
          {"name": "location", "in": "query", "schema": {"type": "string"}, "description": "a Carter location, when from is carter"},
          {"$ref": "#/components/parameters/precision"},
          {"$ref": "#/components/parameters/west_positive"},
          {"$ref": "#/components/parameters/accept_distant"},
          {"$ref": "#/components/parameters/zgs"},
          {"$ref": "#/components/parameters/factors"}
        ],
        "responses": {
          "200": {"description": "the converted point", "content": {"application/json": {"schema": {"$ref": "#/components/schemas/ConvertedPoint"}}}},
          "400": {"$ref": "#/components/responses/Problem"},
          "422": {"$ref": "#/components/responses/Problem"}
        }
      },
      "post": {
        "summary": "Convert one point or columns of points",
        "requestBody": {"required": true, "content": {"application/json": {"schema": {"$ref": "#/components/schemas/ConvertRequest"}}}},
        "responses": {
          "200": {"description": "the converted point, or columns with a status and message per point", "content": {"application/json": {"schema": {"oneOf": [{"$ref": "#/components/schemas/ConvertedPoint"}, {"$ref": "#/components/schemas/ConvertedColumns"}]}}}},
          "400": {"$ref": "#/components/responses/Problem"},
          "413": {"$ref": "#/components/responses/Problem"},
          "415": {"$ref": "#/components/responses/Problem"},
          "422": {"$ref": "#/components/responses/Problem"}
        }
      }
    },
    "/api/v1/locate": {
      "post": {
        "summary": "States, counties, quadrangles and Carter locations of columns of points",
        "requestBody": {"required": true, "content": {"application/json": {"schema": {"$ref": "#/components/schemas/LocateRequest"}}}},
        "responses": {
          "200": {"description": "one column per field, as lantrel locate writes them", "content": {"application/json": {"schema": {"$ref": "#/components/schemas/LocatedColumns"}}}},
          "400": {"$ref": "#/components/responses/Problem"},
          "413": {"$ref": "#/components/responses/Problem"},
          "503": {"$ref": "#/components/responses/Problem"}
        }
      }
    },
    "/api/v1/layers/{layer}": {
      "get": {
        "summary": "States, counties, quadrangles or the Carter grid as GeoJSON",
        "parameters": [
          {"name": "layer", "in": "path", "required": true, "schema": {"enum": ["states.geojson", "counties.geojson", "quads.geojson", "carter.geojson"]}},
          {"name": "bbox", "in": "query", "schema": {"type": "string"}, "description": "minlon,minlat,maxlon,maxlat"},
          {"name": "simplify", "in": "query", "schema": {"type": "boolean"}},
          {"name": "level", "in": "query", "schema": {"enum": ["auto", "block", "section"]}, "description": "Carter grid cells"}
        ],
        "responses": {
          "200": {"description": "a feature collection (NAD 83)", "content": {"application/geo+json": {"schema": {"$ref": "#/components/schemas/FeatureCollection"}}}},
          "400": {"$ref": "#/components/responses/Problem"},
          "503": {"$ref": "#/components/responses/Problem"}
        }
      }
    },
    "/api/v1/files": {
      "post": {
        "summary": "Convert or locate a file: CSV, GeoPackage, GeoJSON, FlatGeobuf or a zipped Shapefile",
        "parameters": [
          {"name": "command", "in": "query", "schema": {"enum": ["convert", "locate"]}},
          {"name": "from", "in": "query", "schema": {"type": "string"}},
          {"name": "to", "in": "query", "schema": {"type": "string"}},
          {"name": "format", "in": "query", "schema": {"enum": ["csv", "gpkg", "geojson", "fgb", "shp"]}, "description": "the result's format: by default the upload's (GeoPackage for a zipped Shapefile); shp is a zipped Shapefile (.shp, .shx, .dbf, .prj, .cpg in one .zip)"},
          {"name": "name", "in": "query", "schema": {"type": "string"}, "description": "the file's name, for a raw body"},
          {"$ref": "#/components/parameters/precision"},
          {"$ref": "#/components/parameters/zgs"},
          {"$ref": "#/components/parameters/accept_distant"}
        ],
        "requestBody": {"required": true, "content": {"application/octet-stream": {"schema": {"type": "string", "format": "binary"}}, "multipart/form-data": {"schema": {"type": "object", "properties": {"file": {"type": "string", "format": "binary"}}}}}},
        "responses": {
          "202": {"description": "the job, started", "content": {"application/json": {"schema": {"$ref": "#/components/schemas/Job"}}}},
          "400": {"$ref": "#/components/responses/Problem"},
          "413": {"$ref": "#/components/responses/Problem"},
          "415": {"$ref": "#/components/responses/Problem"},
          "422": {"$ref": "#/components/responses/Problem"},
          "503": {"$ref": "#/components/responses/Problem"}
        }
      }
    },
    "/api/v1/files/{id}": {
      "get": {
        "summary": "A file job's state",
        "parameters": [{"name": "id", "in": "path", "required": true, "schema": {"type": "string"}}],
        "responses": {
          "200": {"description": "the job", "content": {"application/json": {"schema": {"$ref": "#/components/schemas/Job"}}}},
          "404": {"$ref": "#/components/responses/Problem"}
        }
      }
    },
    "/api/v1/files/{id}/result": {
      "get": {
        "summary": "The converted file, once; the job's folder is removed after",
        "parameters": [{"name": "id", "in": "path", "required": true, "schema": {"type": "string"}}],
        "responses": {
          "200": {"description": "the file (a zip for a zipped Shapefile)", "content": {"application/octet-stream": {"schema": {"type": "string", "format": "binary"}}}},
          "404": {"$ref": "#/components/responses/Problem"},
          "409": {"$ref": "#/components/responses/Problem"}
        }
      }
    },
    "/api/v1/config": {
      "get": {
        "summary": "What the page needs: the tile URL and the limits",
        "responses": {"200": {"description": "settings", "content": {"application/json": {"schema": {"$ref": "#/components/schemas/Config"}}}}}
      }
    },
    "/api/v1/openapi.json": {
      "get": {"summary": "This document", "responses": {"200": {"description": "OpenAPI 3.1", "content": {"application/json": {"schema": {"type": "object"}}}}}}
    },
    "/healthz": {
      "get": {"summary": "Liveness", "responses": {"200": {"description": "up", "content": {"application/json": {"schema": {"$ref": "#/components/schemas/Health"}}}}}}
    },
    "/metrics": {
      "get": {"summary": "Request counters and latency (Prometheus text)", "responses": {"200": {"description": "metrics", "content": {"text/plain": {"schema": {"type": "string"}}}}}}
    }
  },
  "components": {
    "parameters": {
      "precision": {"name": "precision", "in": "query", "schema": {"type": "integer", "minimum": 0, "maximum": 17}, "description": "decimals of the *_text members (9 for degrees, 3 otherwise)"},
      "west_positive": {"name": "west_positive", "in": "query", "schema": {"type": "boolean"}},
      "accept_distant": {"name": "accept_distant", "in": "query", "schema": {"type": "boolean"}},
      "zgs": {"name": "zgs", "in": "query", "schema": {"type": "boolean"}},
      "factors": {"name": "factors", "in": "query", "schema": {"type": "boolean"}}
    },
    "responses": {
      "Problem": {"description": "what went wrong", "content": {"application/problem+json": {"schema": {"$ref": "#/components/schemas/Problem"}}}}
    },
    "schemas": {
      "Problem": {
        "type": "object",
        "required": ["type", "title", "status", "detail"],
        "properties": {
          "type": {"type": "string"},
          "title": {"type": "string"},
          "status": {"type": "integer", "minimum": 400, "maximum": 599},
          "detail": {"type": "string"},
          "number": {"type": "integer", "description": "the coordinate library's error number"},
          "source": {"type": "string"},
          "description": {"type": "string"}
        },
        "additionalProperties": false
      },
      "Value": {"oneOf": [{"type": "number"}, {"type": "string"}, {"type": "null"}]},
      "ConvertRequest": {
        "type": "object",
        "required": ["from", "to"],
        "properties": {
          "from": {"type": "string"}, "to": {"type": "string"},
          "x": {"oneOf": [{"type": "array", "items": {"$ref": "#/components/schemas/Value"}}, {"type": "number"}, {"type": "string"}]},
          "y": {"oneOf": [{"type": "array", "items": {"$ref": "#/components/schemas/Value"}}, {"type": "number"}, {"type": "string"}]},
          "location": {"oneOf": [{"type": "array", "items": {"type": ["string", "null"]}}, {"type": "string"}]},
          "text": {"type": "string"},
          "precision": {"type": "integer", "minimum": 0, "maximum": 17},
          "west_positive": {"type": "boolean"}, "accept_distant": {"type": "boolean"},
          "zgs": {"type": "boolean"}, "factors": {"type": "boolean"},
          "texts": {"type": "boolean", "description": "write the *_text columns (default true)"}
        }
      },
      "ConvertedPoint": {
        "type": "object",
        "required": ["from", "to", "status", "x", "y", "x_text", "y_text"],
        "properties": {
          "from": {"type": "string"}, "to": {"type": "string"}, "status": {"const": "ok"},
          "x": {"type": "number"}, "y": {"type": "number"},
          "x_text": {"type": "string"}, "y_text": {"type": "string"},
          "location": {"type": "string"},
          "scale_factor": {"type": "number"}, "convergence": {"type": "number"}
        },
        "additionalProperties": false
      },
      "NumberColumn": {"type": "array", "items": {"type": ["number", "null"]}},
      "TextColumn": {"type": "array", "items": {"type": ["string", "null"]}},
      "StatusColumn": {"type": "array", "items": {"enum": ["ok", "error"]}},
      "ConvertedColumns": {
        "type": "object",
        "required": ["from", "to", "count", "failed", "x", "y", "status", "message"],
        "properties": {
          "from": {"type": "string"}, "to": {"type": "string"},
          "count": {"type": "integer", "minimum": 0}, "failed": {"type": "integer", "minimum": 0},
          "x": {"$ref": "#/components/schemas/NumberColumn"}, "y": {"$ref": "#/components/schemas/NumberColumn"},
          "x_text": {"$ref": "#/components/schemas/TextColumn"}, "y_text": {"$ref": "#/components/schemas/TextColumn"},
          "location": {"$ref": "#/components/schemas/TextColumn"},
          "scale_factor": {"$ref": "#/components/schemas/NumberColumn"}, "convergence": {"$ref": "#/components/schemas/NumberColumn"},
          "status": {"$ref": "#/components/schemas/StatusColumn"}, "message": {"$ref": "#/components/schemas/TextColumn"}
        },
        "additionalProperties": false
      },
      "LocateRequest": {
        "type": "object",
        "properties": {
          "from": {"type": "string", "description": "default geographic"},
          "x": {"type": "array", "items": {"$ref": "#/components/schemas/Value"}},
          "y": {"type": "array", "items": {"$ref": "#/components/schemas/Value"}},
          "location": {"type": "array", "items": {"type": ["string", "null"]}},
          "zgs": {"type": "boolean"}, "factors": {"type": "boolean"}, "accept_distant": {"type": "boolean"}
        }
      },
      "LocatedColumns": {
        "type": "object",
        "required": ["from", "count", "failed", "state", "state_fips", "county", "county_fips", "geoid", "sp_zone", "quad", "quad_tile", "quad_state", "carter", "status", "message"],
        "properties": {
          "from": {"type": "string"}, "count": {"type": "integer"}, "failed": {"type": "integer"},
          "state": {"$ref": "#/components/schemas/TextColumn"}, "state_fips": {"$ref": "#/components/schemas/TextColumn"},
          "county": {"$ref": "#/components/schemas/TextColumn"}, "county_fips": {"$ref": "#/components/schemas/TextColumn"},
          "geoid": {"$ref": "#/components/schemas/TextColumn"},
          "sp_zone": {"$ref": "#/components/schemas/TextColumn"}, "quad": {"$ref": "#/components/schemas/TextColumn"},
          "quad_tile": {"$ref": "#/components/schemas/TextColumn"}, "quad_state": {"$ref": "#/components/schemas/TextColumn"},
          "carter": {"$ref": "#/components/schemas/TextColumn"},
          "scale_factor": {"$ref": "#/components/schemas/NumberColumn"}, "convergence": {"$ref": "#/components/schemas/NumberColumn"},
          "status": {"$ref": "#/components/schemas/StatusColumn"}, "message": {"$ref": "#/components/schemas/TextColumn"}
        },
        "additionalProperties": false
      },
      "SystemEntry": {
        "type": "object",
        "required": ["system", "description"],
        "properties": {
          "system": {"type": "string"}, "description": {"type": "string"},
          "x": {"type": "number"}, "y": {"type": "number"}, "x_text": {"type": "string"}, "y_text": {"type": "string"},
          "x_dms": {"type": "string"}, "y_dms": {"type": "string"},
          "scale_factor": {"type": "number"}, "convergence": {"type": "number"},
          "note": {"type": "string", "description": "how the entry's zone was chosen, where the data cannot tell"},
          "error": {"type": "string"}
        },
        "additionalProperties": false
      },
      "PointReport": {
        "type": "object",
        "required": ["input", "understood", "systems", "datum_shift", "location", "flags"],
        "properties": {
          "input": {"type": "string"},
          "understood": {
            "type": "object", "required": ["form", "system", "description"],
            "properties": {
              "form": {"enum": ["geographic", "plane", "carter", "carter_area"]},
              "system": {"type": "string"}, "description": {"type": "string"},
              "x": {"type": "number"}, "y": {"type": "number"}, "location": {"type": "string"}
            },
            "additionalProperties": false
          },
          "systems": {"type": "array", "items": {"$ref": "#/components/schemas/SystemEntry"}},
          "datum_shift": {
            "type": "object", "required": ["in_window", "from"],
            "properties": {
              "in_window": {"type": "boolean"}, "from": {"enum": ["nad83", "nad27"]},
              "dlon_seconds": {"type": "number"}, "dlat_seconds": {"type": "number"},
              "dlon_seconds_text": {"type": "string"}, "dlat_seconds_text": {"type": "string"}
            },
            "additionalProperties": false
          },
          "location": {"type": "object", "additionalProperties": {"type": "string"}},
          "flags": {
            "type": "object", "required": ["in_shift_window", "in_served_region", "in_carter_grid", "official_zone"],
            "properties": {
              "in_shift_window": {"type": "boolean"}, "in_served_region": {"type": "boolean"},
              "in_carter_grid": {"type": "boolean"}, "official_zone": {"type": "string"}
            },
            "additionalProperties": false
          },
          "area": {
            "type": "object", "required": ["name", "kind", "datum", "bounds", "polygon", "centre", "width_m", "height_m"],
            "properties": {
              "name": {"type": "string"}, "kind": {"enum": ["block", "section"]}, "datum": {"enum": ["nad27", "nad83"]},
              "bounds": {"type": "array", "items": {"type": "number"}, "minItems": 4, "maxItems": 4},
              "polygon": {"$ref": "#/components/schemas/Polygon"},
              "centre": {"type": "object", "required": ["x", "y", "datum"], "properties": {"x": {"type": "number"}, "y": {"type": "number"}, "datum": {"type": "string"}}},
              "width_m": {"type": "number"}, "height_m": {"type": "number"},
              "width_ft": {"type": "number"}, "height_ft": {"type": "number"}, "area_acres": {"type": "number"}
            }
          }
        },
        "additionalProperties": false
      },
      "Polygon": {
        "type": "object", "required": ["type", "coordinates"],
        "properties": {
          "type": {"const": "Polygon"},
          "coordinates": {"type": "array", "items": {"type": "array", "minItems": 4, "items": {"type": "array", "minItems": 2, "maxItems": 2, "items": {"type": "number"}}}}
        }
      },
      "FeatureCollection": {
        "type": "object", "required": ["type", "features"],
        "properties": {
          "type": {"const": "FeatureCollection"}, "name": {"type": "string"},
          "features": {"type": "array", "items": {
            "type": "object", "required": ["type", "geometry", "properties"],
            "properties": {"type": {"const": "Feature"}, "geometry": {"$ref": "#/components/schemas/Polygon"}, "properties": {"type": "object"}}
          }}
        }
      },
      "Job": {
        "type": "object", "required": ["id", "state", "input_bytes", "output_bytes", "progress", "seconds", "message", "result", "result_name"],
        "properties": {
          "id": {"type": "string"}, "state": {"enum": ["running", "done", "failed"]},
          "input_bytes": {"type": "integer"}, "output_bytes": {"type": "integer"},
          "progress": {"type": "number", "minimum": 0, "maximum": 1, "description": "share of the upload the tool has read; 1 once done (a GeoPackage, read page by page, stays at 0 until then)"},
          "seconds": {"type": "number"},
          "message": {"type": "string"}, "result": {"type": "string"}, "result_name": {"type": "string"}
        },
        "additionalProperties": false
      },
      "Config": {
        "type": "object", "required": ["tiles", "max_points", "max_body", "reference_data"],
        "properties": {"tiles": {"type": ["string", "null"]}, "max_points": {"type": "integer"}, "max_body": {"type": "integer"}, "reference_data": {"type": "boolean"}},
        "additionalProperties": false
      },
      "Health": {
        "type": "object", "required": ["status", "version", "reference_data"],
        "properties": {"status": {"const": "ok"}, "version": {"type": "string"}, "reference_data": {"type": "boolean"}},
        "additionalProperties": false
      }
    }
  }
})json";

}  // namespace

Response OpenApiRoute(const Context&) {
  Response r;
  r.body = kDocument;
  return r;
}

}  // namespace lantrel::cli::serve
