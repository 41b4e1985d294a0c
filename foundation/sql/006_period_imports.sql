-- Foundation tables, part 6: who is importing a period of the declaration
-- tables.
--
-- Two workstations importing the same month at once would each read the
-- month's tables before the other had written its persons, and each add
-- them all. An import therefore holds its period's row here for as long as
-- it runs: a transaction of a connection of its own locks the row, and the
-- engine frees it when the import ends, or when its program or connection
-- dies, so a workstation that stopped never keeps a month. Another
-- workstation finds the row locked, reads who holds it and waits.
--   SIMPPOSTAZIONE, DIMPINIZIO  the workstation holding the period and since
--                               when, empty once it has ended; after a crash
--                               they name the last holder until the next.
--   IIMPIMPORTAZIONI            how many times the period was taken.
-- One row per program, year and month (0: the year level, the declarant's),
-- made the first time the period is imported.
CREATE TABLE TIMP_IMPORTAZIONI (
  IIMPID INTEGER NOT NULL,
  SIMPPROGRAMMA VARCHAR(20) NOT NULL,
  IIMPANNO INTEGER NOT NULL,
  IIMPMESE INTEGER NOT NULL,
  SIMPPOSTAZIONE VARCHAR(200),
  DIMPINIZIO TIMESTAMP,
  IIMPIMPORTAZIONI INTEGER DEFAULT 0 NOT NULL,
  CONSTRAINT PK_TIMP_IMPORTAZIONI PRIMARY KEY (IIMPID),
  CONSTRAINT CK_IMP_MESE CHECK (IIMPMESE BETWEEN 0 AND 12)
);
CREATE SEQUENCE GEN_TIMP_IMPORTAZIONI;
CREATE UNIQUE INDEX UX_IMP_PERIODO ON TIMP_IMPORTAZIONI (SIMPPROGRAMMA, IIMPANNO, IIMPMESE);
