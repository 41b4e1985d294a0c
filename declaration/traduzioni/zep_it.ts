<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<!-- The Italian texts of Qt's own windows (the print dialog, the file
     dialog) that Qt's Italian translation lacks, by Qt's context and source
     text. Compiled at build time with lrelease into the program. -->
<TS version="2.1" language="it_IT" sourcelanguage="en">
<context>
    <name>QPrintSettingsOutput</name>
    <message>
        <source>Pages</source>
        <translation>Pagine</translation>
    </message>
    <message>
        <source>Specify pages or ranges separated by commas. Ranges are specified by two numbers separated by a hyphen. E.g: 3,5-7,9 prints pages 3, 5, 6, 7 and 9.</source>
        <translation>Indicare le pagine o gli intervalli separati da virgole; un intervallo è dato da due numeri separati da un trattino. Ad esempio 3,5-7,9 stampa le pagine 3, 5, 6, 7 e 9.</translation>
    </message>
    <message>
        <source>Double Sided Printing</source>
        <translation>Stampa fronte/retro</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>No</translation>
    </message>
    <message>
        <source>Long side binding</source>
        <translation>Rilegatura sul lato lungo</translation>
    </message>
    <message>
        <source>Short side binding</source>
        <translation>Rilegatura sul lato corto</translation>
    </message>
</context>
<context>
    <name>QPrintPropertiesWidget</name>
    <message>
        <source>Advanced</source>
        <translation>Avanzate</translation>
    </message>
    <message>
        <source>There are conflicts in some options. Please fix them.</source>
        <translation>Alcune opzioni sono in conflitto tra loro: correggerle.</translation>
    </message>
</context>
<context>
    <name>QAbstractFileIconProvider</name>
    <message>
        <source>Drive</source>
        <translation>Unità</translation>
    </message>
    <message>
        <source>Folder</source>
        <comment>All other platforms</comment>
        <translation>Cartella</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Sconosciuto</translation>
    </message>
</context>
</TS>
