/* Records exchanged with the outside frame library (FrameSDK). Shared by
 * the loader and by the stand-in library in src/sdk. Plain C layout: on a
 * 64-bit build pointers and lists take their natural 64-bit alignment;
 * field order and meaning are those of the library interface. */
#ifndef VAULTRA_ANALYSIS_SDK_TYPES_H
#define VAULTRA_ANALYSIS_SDK_TYPES_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* ---- input --------------------------------------------------------------- */

typedef struct FR_SDK_NODE {
  int32_t number;
  double x, y;
} FR_SDK_NODE;

typedef struct FR_SDK_MATERIAL {
  int32_t number;
  double e;     /* elastic modulus */
  double alpha; /* thermal expansion coefficient */
} FR_SDK_MATERIAL;

typedef struct FR_SDK_SECTION {
  int32_t number;
  double area;
  double inertia;
} FR_SDK_SECTION;

typedef struct FR_SDK_MEMBER {
  int32_t number;
  int32_t node_i, node_j;
  int32_t section_i, section_j;
  int32_t material;
  int32_t end_i, end_j; /* 0 rigid, 1 pin */
} FR_SDK_MEMBER;

typedef struct FR_SDK_INDISSPRING {
  int32_t member;
  double k_normal;
  double k_tangent;
} FR_SDK_INDISSPRING;

typedef struct FR_SDK_INDISSPRCASE {
  int32_t number;
  int32_t count;
  FR_SDK_INDISSPRING* springs;
} FR_SDK_INDISSPRCASE;

typedef struct FR_SDK_INSUP {
  int32_t node;
  double values[6];
  int32_t type;
} FR_SDK_INSUP;

typedef struct FR_SDK_INSUPCASE {
  int32_t number;
  int32_t count;
  FR_SDK_INSUP* supports;
} FR_SDK_INSUPCASE;

typedef struct FR_SDK_EQUALDID {
  int32_t first_member;
  int32_t last_member;
  int32_t parts;
} FR_SDK_EQUALDID;

typedef double FR_SDK_AIMEDPOINTLST;

typedef struct FR_SDK_OPTSPEC {
  int32_t member;
  int32_t count;
  FR_SDK_AIMEDPOINTLST* positions;
} FR_SDK_OPTSPEC;

typedef struct FR_SDK_AIMEDPOINT {
  int32_t equal_count;
  FR_SDK_EQUALDID* equal;
  int32_t spec_count;
  FR_SDK_OPTSPEC* spec;
} FR_SDK_AIMEDPOINT;

typedef struct FR_SDK_LOADDATA {
  int32_t type;
  int32_t first_member;
  int32_t last_member;
  double d1, d2, d3, d4;
} FR_SDK_LOADDATA;

typedef struct FR_SDK_INLOADCASE {
  int32_t number;
  int32_t count;
  FR_SDK_LOADDATA* items;
  int32_t spring_case;
  int32_t support_case;
  char name[44];
} FR_SDK_INLOADCASE;

typedef struct FR_SDK_COMBILDCASE {
  int32_t load_case;
  double factor;
} FR_SDK_COMBILDCASE;

typedef struct FR_SDK_INCOMBCASE {
  int32_t number;
  int32_t count;
  FR_SDK_COMBILDCASE* entries;
  double factor;
  char name[44];
} FR_SDK_INCOMBCASE;

typedef struct FR_SDK_LOADCASE {
  int32_t a, b;
} FR_SDK_LOADCASE;

typedef struct FR_SDK_INEXTRCASE {
  int32_t number;
  int32_t count;
  FR_SDK_LOADCASE* entries;
  char name[44];
} FR_SDK_INEXTRCASE;

typedef struct FR_SDK_MAINDATA {
  char title[44];
  int32_t node_count;
  FR_SDK_NODE* nodes;
  int32_t member_count;
  FR_SDK_MEMBER* members;
  int32_t material_count;
  FR_SDK_MATERIAL* materials;
  int32_t section_count;
  FR_SDK_SECTION* sections;
  int32_t spring_case_count;
  FR_SDK_INDISSPRCASE* spring_cases;
  int32_t support_case_count;
  FR_SDK_INSUPCASE* support_cases;
  int32_t aimed_count; /* always 1 */
  FR_SDK_AIMEDPOINT* aimed;
  int32_t load_case_count;
  FR_SDK_INLOADCASE* load_cases;
  int32_t combination_count;
  FR_SDK_INCOMBCASE* combinations;
  int32_t extraction_count;
  FR_SDK_INEXTRCASE* extractions;
  int32_t option_bits; /* 2 リナ, 4 Mmax, 8 着点, 48 割増 */
} FR_SDK_MAINDATA;

/* ---- results ------------------------------------------------------------- */

typedef struct FR_SDK_REACTION {
  int32_t node;
  double values[3];
} FR_SDK_REACTION;

typedef struct FR_SDK_DISPLACEMENT {
  int32_t node;
  double dx, dy, rotation; /* m, m, rad */
} FR_SDK_DISPLACEMENT;

typedef struct FR_SDK_FORCEPOINT {
  int32_t number;
  double x, m, s, n;
  double deflection; /* mm */
} FR_SDK_FORCEPOINT;

typedef struct FR_SDK_MEMBERFORCE {
  int32_t member, node_i, node_j;
  int32_t count;
  FR_SDK_FORCEPOINT* points;
} FR_SDK_MEMBERFORCE;

typedef struct FR_SDK_EXTRPOINT {
  int32_t number;
  double values[4];
  int32_t flag;
} FR_SDK_EXTRPOINT;

typedef struct FR_SDK_MEMBEREXTR {
  int32_t member, node_i, node_j;
  int32_t count;
  FR_SDK_EXTRPOINT* points;
} FR_SDK_MEMBEREXTR;

typedef struct FR_SDK_MMAXMIN {
  int32_t max_index;
  double max_values[4];
  int32_t min_index;
  double min_values[4];
} FR_SDK_MMAXMIN;

typedef struct FR_SDK_SPRINGPOINT {
  int32_t number;
  double values[2];
} FR_SDK_SPRINGPOINT;

typedef struct FR_SDK_MEMBERSPRING {
  int32_t member, node_i, node_j;
  int32_t count;
  FR_SDK_SPRINGPOINT* points;
} FR_SDK_MEMBERSPRING;

/* A case record: case number, item count, items of the list's kind. */
#define VAULTRA_SDK_CASE(NAME, ITEM) \
  typedef struct NAME {              \
    int32_t number;                  \
    int32_t count;                   \
    ITEM* items;                     \
  } NAME
VAULTRA_SDK_CASE(FR_SDK_REACTCASE, FR_SDK_REACTION);
VAULTRA_SDK_CASE(FR_SDK_DISPCASE, FR_SDK_DISPLACEMENT);
VAULTRA_SDK_CASE(FR_SDK_FORCECASE, FR_SDK_MEMBERFORCE);
VAULTRA_SDK_CASE(FR_SDK_EXTRCASE, FR_SDK_MEMBEREXTR);
VAULTRA_SDK_CASE(FR_SDK_MMAXMINCASE, FR_SDK_MMAXMIN);
VAULTRA_SDK_CASE(FR_SDK_SPRINGCASE, FR_SDK_MEMBERSPRING);
#undef VAULTRA_SDK_CASE

typedef struct FR_SDK_MAINRES {
  int32_t reaction_count;
  FR_SDK_REACTCASE* reactions; /* load cases */
  int32_t reaction_comb_count;
  FR_SDK_REACTCASE* reactions_comb;
  int32_t disp_count;
  FR_SDK_DISPCASE* disps;
  int32_t disp_comb_count;
  FR_SDK_DISPCASE* disps_comb;
  int32_t force_count;
  FR_SDK_FORCECASE* forces;
  int32_t force_comb_count;
  FR_SDK_FORCECASE* forces_comb;
  int32_t mmax_count;
  FR_SDK_EXTRCASE* mmax;
  int32_t mmin_count;
  FR_SDK_EXTRCASE* mmin;
  int32_t smax_count;
  FR_SDK_EXTRCASE* smax;
  int32_t smin_count;
  FR_SDK_EXTRCASE* smin;
  int32_t nmax_count;
  FR_SDK_EXTRCASE* nmax;
  int32_t nmin_count;
  FR_SDK_EXTRCASE* nmin;
  int32_t mmaxmin_count;
  FR_SDK_MMAXMINCASE* mmaxmin;
  int32_t spring_count;
  FR_SDK_SPRINGCASE* springs;
} FR_SDK_MAINRES;

/* Entry points of the library. */
typedef FR_SDK_MAINRES* (*FrameCalcFn)(const char* frame_dir, FR_SDK_MAINDATA* data);
typedef int32_t (*FrameErrFn)(const char** message);
typedef void (*FrameResMemFreeFn)(FR_SDK_MAINRES* result);

#ifdef __cplusplus
}
#endif

#endif
