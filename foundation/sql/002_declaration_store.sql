-- Foundation tables, part 2: the declaration-table store.
--
-- Any dataset of a declaration is kept in four generic tables, so that a new
-- declaration table or a new field needs no change of this schema:
--   TCDS_STRUTTURA    one row per stored layout: the empty dataset (binary
--                     dataset file), the field map to the person registry,
--                     the registry flags and the row counter; written from
--                     the layout description files when the archive is
--                     created or upgraded, never by the store itself;
--   TCRF_CROFISCALE   one period header per program, year and month (a null
--                     month is the year level), made by PTOV_GETCROFISCALE;
--   TFIS_DATIFISCALI  one row per non-empty field value of a stored record:
--                     a record is the rows of one layout and row number;
--   TAFI_ANAFISCALE   the person registry that field maps fill.
--
-- TFIS_DATIFISCALI has no id of its own: a value is identified by its
-- layout, row number and field name, which is its key. It carries no foreign
-- keys, on purpose:
-- - a foreign key index on ICDSID or ICRFID holds one value for hundreds of
--   thousands of rows, and keeping such indexes doubles the cost of writing a
--   value row; layouts and period headers are never deleted, and the store
--   writes value rows only with the ids it has just read or made;
-- - a registry row owned by one dataset may be deleted with its record while
--   another dataset of the period still points at it (IAFIID); a load then
--   reads that record without a person (id 0).
--
-- FFISVALUE is DOUBLE PRECISION rather than the archive's NUMERIC(18,4): it
-- carries float fields as well as amounts; an amount of four decimals comes
-- back exactly through the shortest decimal form of the double (up to
-- hundreds of billions).
--
-- Text columns are sized for the values of a declaration, not more: the
-- load sorts its rows whole, so every character declared here is carried
-- through the sort of every row of a loaded table.

CREATE TABLE TCDS_STRUTTURA (
  ICDSID INTEGER NOT NULL,
  ICDSANNO INTEGER,
  ICDSMESE INTEGER,
  SCDSPROGRAMMA VARCHAR(20) NOT NULL,
  SCDSNOME VARCHAR(60) NOT NULL,
  BCDSSCHEMA BLOB SUB_TYPE 0,
  LCDSANAGRAFICA SMALLINT DEFAULT 0 NOT NULL,
  LCDSFMAPREADONLY SMALLINT DEFAULT 0 NOT NULL,
  ICDSRIGO INTEGER DEFAULT 0 NOT NULL,
  SCDSFIELDMAP VARCHAR(1000),
  CONSTRAINT PK_TCDS_STRUTTURA PRIMARY KEY (ICDSID),
  CONSTRAINT CK_CDS_ANAGRAFICA CHECK (LCDSANAGRAFICA IN (0, 1)),
  CONSTRAINT CK_CDS_FMAPREADONLY CHECK (LCDSFMAPREADONLY IN (0, 1)),
  CONSTRAINT CK_CDS_MESE CHECK (ICDSMESE IS NULL OR ICDSMESE BETWEEN 0 AND 12),
  CONSTRAINT CK_CDS_RIGO CHECK (ICDSRIGO >= 0)
);
CREATE SEQUENCE GEN_TCDS_STRUTTURA;
-- One layout per program, name and first period.
CREATE UNIQUE INDEX UX_CDS_PERIODO ON TCDS_STRUTTURA COMPUTED BY
  (LOWER(SCDSPROGRAMMA) || '|' || LOWER(SCDSNOME) || '|' || COALESCE(ICDSANNO, 0) || '|' || COALESCE(ICDSMESE, 0));

CREATE TABLE TCRF_CROFISCALE (
  ICRFID INTEGER NOT NULL,
  ICRFANNO INTEGER,
  ICRFMESE INTEGER,
  SCRFPROGRAMMA VARCHAR(20) NOT NULL,
  CONSTRAINT PK_TCRF_CROFISCALE PRIMARY KEY (ICRFID),
  CONSTRAINT CK_CRF_MESE CHECK (ICRFMESE IS NULL OR ICRFMESE BETWEEN 1 AND 12)
);
CREATE SEQUENCE GEN_TCRF_CROFISCALE;
-- One header per program and period (a null year or month counts as 0), so
-- that two saves making the same header at once cannot both succeed.
CREATE UNIQUE INDEX UX_CRF_PERIODO ON TCRF_CROFISCALE COMPUTED BY
  (LOWER(SCRFPROGRAMMA) || '|' || COALESCE(ICRFANNO, 0) || '|' || COALESCE(ICRFMESE, 0));

CREATE TABLE TAFI_ANAFISCALE (
  IAFIID INTEGER NOT NULL,
  ICRFID INTEGER NOT NULL,
  SAFICOGNOME VARCHAR(60),
  SAFINOME VARCHAR(60),
  SAFICODFISCALE VARCHAR(20),
  SAFICODFISSOST VARCHAR(20),
  SAFIGRUPPOANA VARCHAR(60),
  CONSTRAINT PK_TAFI_ANAFISCALE PRIMARY KEY (IAFIID),
  CONSTRAINT FK_AFI_CRF FOREIGN KEY (ICRFID) REFERENCES TCRF_CROFISCALE (ICRFID)
);
CREATE SEQUENCE GEN_TAFI_ANAFISCALE;
-- The registry search compares the fiscal code lower-cased.
CREATE INDEX IX_AFI_CODFISCALE ON TAFI_ANAFISCALE COMPUTED BY (LOWER(SAFICODFISCALE));

CREATE TABLE TFIS_DATIFISCALI (
  ICDSID INTEGER NOT NULL,
  ICRFID INTEGER NOT NULL,
  IAFIID INTEGER,
  IFISRIGO INTEGER NOT NULL,
  SFISFIELDNAME VARCHAR(63) NOT NULL,
  SFISVALUE VARCHAR(250),
  IFISVALUE INTEGER,
  FFISVALUE DOUBLE PRECISION,
  DFISVALUE DATE,
  CONSTRAINT PK_TFIS_DATIFISCALI PRIMARY KEY (ICDSID, IFISRIGO, SFISFIELDNAME)
);
-- Loads read the rows of one period header and layout in row-number order;
-- deletes find a record by layout and row number (the key).
CREATE INDEX IX_FIS_CRF_CDS_RIGO ON TFIS_DATIFISCALI (ICRFID, ICDSID, IFISRIGO);

-- The header of a program, year and month, made when it is missing. A year
-- or month of 0 or less is the same as null: month null is the year level.
SET TERM ^ ;
CREATE PROCEDURE PTOV_GETCROFISCALE (SPROGRAMMA VARCHAR(20), IANNO INTEGER, IMESE INTEGER)
RETURNS (ICRFID INTEGER)
AS
BEGIN
  IF (IANNO <= 0) THEN IANNO = NULL;
  IF (IMESE <= 0) THEN IMESE = NULL;
  ICRFID = NULL;
  SELECT FIRST 1 ICRFID FROM TCRF_CROFISCALE
   WHERE LOWER(SCRFPROGRAMMA) || '|' || COALESCE(ICRFANNO, 0) || '|' || COALESCE(ICRFMESE, 0)
       = LOWER(:SPROGRAMMA) || '|' || COALESCE(:IANNO, 0) || '|' || COALESCE(:IMESE, 0)
    INTO :ICRFID;
  IF (ICRFID IS NULL) THEN
  BEGIN
    ICRFID = NEXT VALUE FOR GEN_TCRF_CROFISCALE;
    INSERT INTO TCRF_CROFISCALE (ICRFID, ICRFANNO, ICRFMESE, SCRFPROGRAMMA)
      VALUES (:ICRFID, :IANNO, :IMESE, LOWER(:SPROGRAMMA));
  END
  SUSPEND;
END^
SET TERM ; ^
