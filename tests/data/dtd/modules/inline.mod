<?xml encoding='ISO-8859-1'?>
<!-- Inline elements; this module is Latin-1: the author's name is José. -->
<!ENTITY % common SYSTEM "common.ent">
%common;
<!ENTITY % inline "em | code">
<!ELEMENT em (#PCDATA)>
<!ELEMENT code (#PCDATA)>
<!ENTITY author "José">
<!ENTITY % list.content " (item+) ">
<!ENTITY % blocks.att "para
  align (left|right) 'left'">
