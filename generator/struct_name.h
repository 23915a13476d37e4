#ifndef TEXTRESGEN_GENERATOR_STRUCT_NAME_H_
#define TEXTRESGEN_GENERATOR_STRUCT_NAME_H_

namespace textresgen {

/// Names the generated struct, its include guard and the parameter type of
/// InitString.
inline const char16_t* StructName() { return u"TextResource"; }

}  // namespace textresgen

#endif  // TEXTRESGEN_GENERATOR_STRUCT_NAME_H_
