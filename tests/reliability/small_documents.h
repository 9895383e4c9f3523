// Small documents that use what the importers offer (entities, character references,
// CDATA, comments, attributes), for the fault tests.
#ifndef OSTREL_TESTS_SMALL_DOCUMENTS_H
#define OSTREL_TESTS_SMALL_DOCUMENTS_H

namespace ostrel_test {

// An XKB registry with every level of the document type; its root ends the text but for
// the final line end.
inline const char* const kXkbDocument = R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE xkbConfigRegistry SYSTEM "xkb.dtd" [
  <!ENTITY vendor "Keys &amp; Co">
]>
<xkbConfigRegistry version="1.1">
  <modelList>
    <model>
      <configItem popularity="exotic">
        <name>k1</name>
        <description>&vendor; &lt;one&gt; &#x20AC;</description>
        <hwList><hwId>1</hwId></hwList>
      </configItem>
    </model>
  </modelList>
  <layoutList>
    <layout>
      <configItem><name>us</name><countryList><iso3166Id>US</iso3166Id></countryList></configItem>
      <variantList><variant><configItem><name>intl</name></configItem></variant></variantList>
    </layout>
  </layoutList>
  <optionList>
    <group allowMultipleSelection="true">
      <configItem><name>grp</name></configItem>
      <option><configItem><name>grp:x</name></configItem></option>
    </group>
  </optionList>
</xkbConfigRegistry>
)";

// Any document, for the generic importer; the same shape.
inline const char* const kGenericDocument = R"(<?xml version="1.0"?>
<!DOCTYPE doc [<!ENTITY e "expanded &#169;">]>
<doc a="1" b='&e;'>
  <p>Text &e; <b>bold</b> tail<![CDATA[ <raw> ]]></p>
  <empty/>
  <!-- comment --><?pi data?>
</doc>
)";

} // namespace ostrel_test

#endif
