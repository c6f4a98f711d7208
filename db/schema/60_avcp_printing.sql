-- Publication data of contracts (law 190/2012 yearly dataset) and the
-- catalogue of report templates and contextual prints shared by the suite.

-- Choices of contractor defined by the authority. Ids 1..18 are the list in
-- force up to financial year 2018; from 2019 the same choice has id + 18
-- (19..36, wording of November 2019), followed by the codes added then.
-- SSCRSDESC is the two-digit code, SSCRLDESC the description: joined with a
-- hyphen they give the value written in the dataset.
CREATE TABLE TSCR_SCELTACONTR (
  ISCRID     INTEGER NOT NULL,
  SSCRSDESC  VARCHAR(10),
  SSCRLDESC  VARCHAR(255),
  DSTART     TIMESTAMP,
  DEND       TIMESTAMP,
  DDELETE    TIMESTAMP,
  CONSTRAINT PK_TSCR_SCELTACONTR PRIMARY KEY (ISCRID)
);

-- Contracts to publish: one per CIG, institute and financial year.
-- DAVCDATAPUBBAVCP is the day the contract was first published (set once by
-- the XML export); SAVCIMPORTDA tells where the row came from ("INSERT DA
-- ORDINE", "INSERT AUTO: <procedure id>", ...; null when typed in).
CREATE TABLE TAVC_AVCP (
  IAVCID            INTEGER NOT NULL,
  ICCDID_CIG        INTEGER,
  ISCRID            INTEGER,
  IDWGID            INTEGER,
  IAVCESERCIZIOFIN  INTEGER,
  DAVCDATA          DATE,
  SAVCLDESC         VARCHAR(1000),
  DAVCDATAPUBBAVCP  DATE,
  SAVCIMPORTDA      VARCHAR(60),
  CONSTRAINT PK_TAVC_AVCP PRIMARY KEY (IAVCID)
);
CREATE INDEX IX_TAVC_DWG_ESFIN ON TAVC_AVCP (IDWGID, IAVCESERCIZIOFIN);
CREATE INDEX IX_TAVC_ESFIN_CIG ON TAVC_AVCP (IAVCESERCIZIOFIN, ICCDID_CIG);
CREATE INDEX IX_TAVC_CIG ON TAVC_AVCP (ICCDID_CIG);
CREATE INDEX IX_TAVC_IMPORTDA ON TAVC_AVCP (SAVCIMPORTDA);

-- Participants of a contract, one row per supplier; LAAGAGGIUDIC = 1 marks
-- an awardee, whose award and paid amounts (VAT excluded) and dates of the
-- works are kept here. A contract cannot be removed while it has participants.
CREATE TABLE TAAG_AVCPAGGIUDIC (
  IAAGID             INTEGER NOT NULL,
  IAVCID             INTEGER,
  IBENID             INTEGER,
  LAAGAGGIUDIC       SMALLINT,
  FAAGIMPAGGIUDIC    NUMERIC(18,6),
  FAAGIMPLIQUIDATO   NUMERIC(18,6),
  DAAGDATAINIZIOLAV  DATE,
  DAAGDATAFINELAV    DATE,
  CONSTRAINT PK_TAAG_AVCPAGGIUDIC PRIMARY KEY (IAAGID),
  CONSTRAINT FK_TAAG_TAVC FOREIGN KEY (IAVCID) REFERENCES TAVC_AVCP (IAVCID)
);
CREATE INDEX IX_TAAG_IBENID ON TAAG_AVCPAGGIUDIC (IBENID);

-- Report templates of the suite. IYAPPID is the application the template
-- belongs to (30 = purchasing), SYRPTCATEG the folder of the report tree,
-- BYRPTTEMPLATE the template itself.
CREATE TABLE TYRPT_RPTTEMPLATE (
  IYRPTID        INTEGER NOT NULL,
  IYAPPID        INTEGER,
  SYRPTDESC      VARCHAR(255),
  SYRPTCATEG     VARCHAR(120),
  BYRPTTEMPLATE  BLOB SUB_TYPE TEXT,
  DSTART         TIMESTAMP,
  DDELETE        TIMESTAMP,
  CONSTRAINT PK_TYRPT_RPTTEMPLATE PRIMARY KEY (IYRPTID)
);
CREATE INDEX IX_TYRPT_IYAPPID ON TYRPT_RPTTEMPLATE (IYAPPID);

-- Customised copies of a template (ids 1,000,000 and above); printing a copy
-- reads the data of the template it derives from (IYRPTID).
CREATE TABLE TYRPC_RPTCUSTOM (
  IYRPCID        INTEGER NOT NULL,
  IYRPTID        INTEGER NOT NULL,
  SYRPCDESC      VARCHAR(255),
  BYRPCTEMPLATE  BLOB SUB_TYPE TEXT,
  DSTART         TIMESTAMP,
  CONSTRAINT PK_TYRPC_RPTCUSTOM PRIMARY KEY (IYRPCID),
  CONSTRAINT FK_TYRPC_TYRPT FOREIGN KEY (IYRPTID) REFERENCES TYRPT_RPTTEMPLATE (IYRPTID),
  CONSTRAINT CK_TYRPC_IYRPCID CHECK (IYRPCID >= 1000000)
);

-- Categories of contextual prints of an application (the print button of a
-- window lists the templates of one category).
CREATE TABLE TSCC_STAMPECATEG (
  ISCCID     INTEGER NOT NULL,
  IYAPPID    INTEGER NOT NULL,
  SSCCNAME   VARCHAR(60) NOT NULL,
  SSCCDESC   VARCHAR(255),
  CONSTRAINT PK_TSCC_STAMPECATEG PRIMARY KEY (ISCCID),
  CONSTRAINT UQ_TSCC_APP_NAME UNIQUE (IYAPPID, SSCCNAME)
);

-- Templates registered in a category.
CREATE TABLE TSTMC_STAMPECONT (
  ISTMCID  INTEGER NOT NULL,
  ISCCID   INTEGER NOT NULL,
  IYRPTID  INTEGER NOT NULL,
  CONSTRAINT PK_TSTMC_STAMPECONT PRIMARY KEY (ISTMCID),
  CONSTRAINT FK_TSTMC_TSCC FOREIGN KEY (ISCCID) REFERENCES TSCC_STAMPECATEG (ISCCID),
  CONSTRAINT FK_TSTMC_TYRPT FOREIGN KEY (IYRPTID) REFERENCES TYRPT_RPTTEMPLATE (IYRPTID)
);

-- Parameters of a registration: a registration with parameters is offered
-- only for the records whose values match (one typed value per row, the
-- first set among text, integer, decimal and date).
CREATE TABLE TSTMP_STAMPEPAR (
  ISTMPID      INTEGER NOT NULL,
  ISTMCID      INTEGER NOT NULL,
  SSTMPNAME    VARCHAR(60) NOT NULL,
  SSTMPVALUE   VARCHAR(255),
  ISTMPVALUE   INTEGER,
  FSTMPVALUE   NUMERIC(18,6),
  DSTMPVALUE   DATE,
  CONSTRAINT PK_TSTMP_STAMPEPAR PRIMARY KEY (ISTMPID),
  CONSTRAINT FK_TSTMP_TSTMC FOREIGN KEY (ISTMCID) REFERENCES TSTMC_STAMPECONT (ISTMCID)
);
CREATE INDEX IX_TSTMP_ISTMCID ON TSTMP_STAMPEPAR (ISTMCID);
